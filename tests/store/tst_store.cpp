// The contact store: the file, the cursor, the query shapes and the field rules.
#include "common/TestFiles.h"
#include "store/ContactDatabase.h"
#include "store/ContactRecord.h"
#include "store/Query.h"
#include "store/Schema.h"
#include "store/Sqlite.h"
#include "store/Steps.h"
#include "store/StoreError.h"
#include "store/Text.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace store;

class TestStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<ContactDatabase> m_db;

    // The description of the error the step raises, or empty.
    template <class F> static QString raised(F&& step) {
        try {
            step();
        } catch (const StoreError& e) {
            return e.description();
        }
        return {};
    }
    // Adds a card of these fields; the error the write raises, or empty.
    QString add(const char* table, std::initializer_list<std::pair<const char*, QString>> fields) {
        return raised([&] {
            QStringList names;
            for (const auto& field : fields)
                names << field.first;
            Statement st = m_db->connection().prepare(
                QStringLiteral("INSERT INTO %1 (%2) VALUES (?%3)")
                    .arg(table, names.join(u','), QString(",?").repeated(names.size() - 1)));
            int at = 1;
            for (const auto& field : fields)
                st.bindText(at++, field.second);
            st.step();
        });
    }
    void addCard(const char* table, const QString& name) {
        QCOMPARE(add(table, {{"Name", name}}), QString());
    }

    QString names(const Query& q) {
        QStringList out;
        for (auto rs = m_db->openRecordset(q); !rs->atEnd(); rs->next())
            out << rs->value("Name").value_or("<null>");
        return out.join(u',');
    }

private slots:
    void init() {
        m_path = m_dir.filePath("VESK.MDB");
        QFile::remove(m_path);
        m_db = std::make_unique<ContactDatabase>();
        m_db->create(m_path);
        SuppressedSteps steps;
        for (const char* t : {"Vesk", "Work", "dbDetails"})
            CreateContactTable(*m_db, t, steps);
        QVERIFY(!steps.hasPending());
    }
    void cleanup() { m_db.reset(); }

    void fieldRulesAreEnforcedWithTheFieldNamed() {
        QCOMPARE(add("Work", {{"Name", "Dana"}, {"Phone", "12345"}}),
                 "Field 'Phone' takes at most 4 characters");
        QCOMPARE(add("Work", {{"Name", "Dana"}, {"Phone", "1234"}}), QString());
        QCOMPARE(add("Vesk", {{"Name", QString(21, u'x')}}),
                 "Field 'Name' takes at most 20 characters");
        QCOMPARE(add("Vesk", {{"Name", QString()}}), "Field 'Name' cannot be empty");
        QCOMPARE(add("Vesk", {{"Phone", "1"}}), "Field 'Name' is required and cannot be empty");
        // Twenty Hebrew letters are twenty characters, whatever their size in bytes.
        QCOMPARE(add("Vesk", {{"Name", QString(20, QChar(0x05D0))}}), QString());
        // Address takes more than the editor's 50 characters.
        QCOMPARE(add("Vesk", {{"Name", "Long address"}, {"Address", QString(200, u'a')}}),
                 QString());
        testing::RawDb raw(m_path);
        QCOMPARE(raw.rows("SELECT Phone FROM Work UNION ALL SELECT count(*) FROM Vesk"),
                 QStringList({"1234", "2"}));
    }

    void cursorReadsInQueryOrder() {
        auto empty = m_db->openRecordset(Query::all("Vesk"));
        QVERIFY(empty->atEnd());
        QCOMPARE(empty->size(), 0);
        QVERIFY_THROWS_EXCEPTION(StoreError, empty->value(0));
        for (const char* n : {"Cohen", "Abir", "Ben"})
            addCard("Vesk", n);
        auto rs = m_db->openRecordset(Query::allOrdered("Vesk", "ASC"));
        QCOMPARE(names(Query::allOrdered("Vesk", "ASC")), "Abir,Ben,Cohen");
        QVERIFY(rs->moveToRowid(1));
        QCOMPARE(*rs->value("Name"), "Cohen");
        QVERIFY(!rs->value("Phone").has_value()); // never written: Null
        QVERIFY(!rs->moveToRowid(99));
        QVERIFY(rs->atEnd());
    }

    // Names sort without regard to Latin case, Hebrew in alphabet order; a prefix matches the
    // same way, and typed text is never part of the SQL. What is no table or order is refused.
    void namesSortAndMatchTheirPrefixAsTyped() {
        for (const char* n : {"bob", "Alice", "Bea", "בני", "אבנר", "אבי", "O'Brien", "ג'ורג'",
                              "50%_off", "a_b", "a\\b"})
            addCard("Vesk", QString::fromUtf8(n));
        QCOMPARE(names(Query::allOrdered("Vesk", "ASC")),
                 u"50%_off,a\\b,a_b,Alice,Bea,bob,O'Brien,אבי,אבנר,בני,ג'ורג'"_qs);
        for (const auto& [typed, found] : {std::pair{"א", "אבי,אבנר"},
                                           {"b", "Bea,bob"},
                                           {"O'", "O'Brien"},
                                           {"ג'", "ג'ורג'"},
                                           {"50%", "50%_off"},
                                           {"a_", "a_b"},
                                           {"a\\", "a\\b"},
                                           {"'; drop table Vesk; --", ""}})
            QCOMPARE(names(Query::namePrefix("Vesk", QString::fromUtf8(typed), "ASC")),
                     QString::fromUtf8(found));
        QCOMPARE(names(Query::nameEquals("Vesk", "O'Brien")), "O'Brien");
        QVERIFY_THROWS_EXCEPTION(StoreError, Query::all("Vesk; drop table Work"));
        QVERIFY_THROWS_EXCEPTION(StoreError, Query::allOrdered("Vesk", "ASC, 1"));
    }

    void listsAndPrefixesReadTheNameIndexInOrder() {
        // Found by range and read in listing order: no scan of every card, no sort afterwards.
        const auto plan = [&](const Query& q) {
            Statement st = m_db->connection().prepare("EXPLAIN QUERY PLAN " + q.sql());
            for (int i = 0; i < q.parameters().size(); ++i)
                st.bindText(i + 1, q.parameters().at(i));
            QStringList details;
            while (st.step())
                details << st.text(3);
            return details.join(u';');
        };
        for (const QString table : {"Vesk", "Work"}) {
            const QString prefix = plan(Query::namePrefix(table, "ab", "ASC"));
            QVERIFY2(prefix.contains(QString("SEARCH %1 USING INDEX %1_Name").arg(table)),
                     qPrintable(prefix));
            const QString all = plan(Query::allOrdered(table, "ASC"));
            QVERIFY2(!all.contains("TEMP B-TREE"), qPrintable(all));
        }
    }

    // The name check of the editor and the vCard import: the same answer as trimming every
    // stored name and comparing it, case and all, with the name typed.
    void nameLookupAgreesWithAFullScan() {
        testing::RawDb raw(m_path);
        const QStringList stored =
            QString::fromUtf8("Avi|Avi |  Avi| Avi  |avi|Avigail|Av|a_b|a%b|50%|O'Brien|"
                              "אבי |Avi\t|\tBen|Ben\t")
                .split(u'|');
        for (const QString& n : stored)
            addCard("Vesk", n);
        addCard("Work", QStringLiteral("Dana"));
        const QStringList probes =
            QString::fromUtf8("Avi|avi|AVI|Avig|Avigail|A|a_b|aXb|a%b|50%|5|O'Brien|אבי|אב|"
                              "Avi\t|Ben|\tBen|Dana|Zed")
                .split(u'|');
        for (const QString& probe : probes) {
            bool scan = false;
            for (const QString& n : stored)
                scan = scan || trimSpaces(n) == probe;
            QVERIFY2(NameTaken(m_db->connection(), ContactGroup::Personal, probe) == scan,
                     qPrintable(probe));
        }
        QVERIFY(NameTaken(m_db->connection(), ContactGroup::Work, QStringLiteral("Dana")));
        QVERIFY(!NameTaken(m_db->connection(), ContactGroup::Work, QStringLiteral("Avi")));
    }

    // A statement kept for reuse comes back reset and unbound; asked for while lent, it is
    // prepared afresh; lent when the file closes, it is finalised when given back.
    void cachedStatementsAreLentOneAtATime() {
        Connection& db = m_db->connection();
        const QString sql = QStringLiteral("SELECT ?1 IS NULL, count(*) FROM Vesk");
        for (int round = 0; round < 2; ++round) {
            Statement outer = db.prepareCached(sql);
            QVERIFY(outer.step());
            QCOMPARE(outer.integer(0), 1); // the last round's value is gone
            outer.reset();
            outer.bindText(1, QStringLiteral("x"));
            QVERIFY(outer.step());
            QCOMPARE(outer.integer(0), 0);
            Statement inner = db.prepareCached(sql);
            QVERIFY(inner.step());
            QCOMPARE(inner.integer(0), 1);
        }
        Statement lent = db.prepareCached(sql);
        db.close();
        QVERIFY(!db.isOpen());
    }

    // Another program deletes a card and a new one takes its identity. A write that was meant
    // for the old card finds the row no longer holds what was read, and leaves it alone.
    void writesHitOnlyTheRowThatWasRead() {
        Connection& db = m_db->connection();
        ContactRecord ccc{ContactGroup::Work, -1, {}};
        ccc[Role::Name] = "Ccc";
        ccc[Role::Work] = "12"; // a Work card keeps its work phone in Phone
        ccc.rowid = InsertContact(db, ccc);
        QCOMPARE(ReadContact(db, ContactGroup::Work, ccc.rowid), ccc); // Nulls stay Null

        ContactRecord changed = ccc;
        changed[Role::Fax] = "Sales";
        QVERIFY(UpdateContact(db, ccc, changed)); // Null matched to Null
        QCOMPARE(ReadContact(db, ContactGroup::Work, ccc.rowid), changed);

        testing::RawDb other(m_path);
        other.exec("DELETE FROM Work WHERE Name = 'Ccc'");
        other.exec(QString("INSERT INTO Work (rowid, Name, Phone) VALUES (%1, 'Zed', '1')")
                       .arg(ccc.rowid));
        QVERIFY(!UpdateContact(db, changed, ccc));
        QVERIFY(!DeleteContact(db, ContactGroup::Work, ccc.rowid, "Ccc"));
        QCOMPARE(other.rows("SELECT rowid, Name, Phone FROM Work"),
                 QStringList{QString("%1|Zed|1").arg(ccc.rowid)});
        QVERIFY(!ReadContact(db, ContactGroup::Personal, ccc.rowid).has_value());
        QVERIFY(DeleteContact(db, ContactGroup::Work, ccc.rowid, "Zed"));
        QCOMPARE(other.scalar("SELECT count(*) FROM Work"), "0");
    }

    // Table and field lookups are exact and need an open file; only an ordinary file exists; a
    // file that is no database fails at the open, and creating never writes over a file.
    void lookupsOpenAndCreate() {
        QVERIFY(m_db->TableExists("dbDetails"));
        QVERIFY(!m_db->TableExists("dbdetails"));
        QVERIFY(!m_db->TableExists("Contacts"));
        m_db->openCurrent(Query::version());
        QVERIFY(m_db->FieldExists("dbVerNum"));
        QVERIFY(!m_db->FieldExists("dbvernum"));
        QCOMPARE(*m_db->CurrentRecordset->value("dbVerNum"), "1");
        m_db->close();
        QVERIFY_THROWS_EXCEPTION(StoreError, m_db->TableExists("Vesk"));
        QVERIFY_THROWS_EXCEPTION(StoreError, m_db->FieldExists("Name"));

        testing::writeFile(m_dir.filePath(".hidden"));
        QVERIFY(FileExists(m_path));
        for (const QString name : {"", "missing.MDB", ".hidden"})
            QVERIFY2(!FileExists(name.isEmpty() ? m_dir.path() : m_dir.filePath(name)),
                     qPrintable(name));

        const QString junk = m_dir.filePath("junk.MDB");
        testing::writeFile(junk, QByteArray(4096, 'x'));
        QCOMPARE(raised([&] { m_db->open(junk); }), "The file is damaged or is not a database");
        QVERIFY(!m_db->isOpen());
        QVERIFY_THROWS_EXCEPTION(StoreError, m_db->create(m_path)); // never over an existing file
    }

    void suppressedStepsKeepTheLastError() {
        SuppressedSteps s;
        int ran = 0;
        s.run([&] { ++ran; });
        QVERIFY(!s.hasPending());
        s.run([&] { throw StoreError(1, "first"); });
        s.run([&] { ++ran; });
        QVERIFY(s.test([&]() -> bool { throw StoreError(2, "second"); }));
        QVERIFY(!s.test([] { return false; }));
        QCOMPARE(ran, 2);
        QCOMPARE(s.pending()->description(), "second");
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
