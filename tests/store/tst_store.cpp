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

    // Adds a card of these fields; the description of the error the write raises, or empty.
    QString add(const char* table, std::initializer_list<std::pair<const char*, QString>> fields) {
        try {
            auto rs = m_db->openRecordset(Query::all(QString::fromLatin1(table)));
            rs->AddNew();
            for (const auto& [field, value] : fields)
                rs->setValue(QString::fromLatin1(field), value);
            rs->Update();
        } catch (const StoreError& e) {
            return e.description();
        }
        return {};
    }
    void addCard(const char* table, const QString& name) { QCOMPARE(add(table, {{"Name", name}}), QString()); }

    QStringList names(const Query& q) {
        auto rs = m_db->openRecordset(q);
        QStringList out;
        for (; !rs->Eof(); rs->MoveNext())
            out << rs->value(QStringLiteral("Name")).value_or(QStringLiteral("<null>"));
        return out;
    }

private slots:
    void init() {
        m_path = m_dir.filePath(QStringLiteral("VESK.MDB"));
        QFile::remove(m_path);
        m_db = std::make_unique<ContactDatabase>();
        m_db->create(m_path);
        SuppressedSteps steps;
        for (const char* t : {"Vesk", "Work", "dbDetails"})
            CreateContactTable(*m_db, QString::fromLatin1(t), steps);
        QVERIFY(!steps.hasPending());
    }
    void cleanup() { m_db.reset(); }

    void fieldRulesAreEnforcedWithTheFieldNamed() {
        QCOMPARE(add("Work", {{"Name", QStringLiteral("Dana")}, {"Phone", QStringLiteral("12345")}}),
                 QStringLiteral("Field 'Phone' takes at most 4 characters"));
        QCOMPARE(add("Work", {{"Name", QStringLiteral("Dana")}, {"Phone", QStringLiteral("1234")}}), QString());
        QCOMPARE(add("Vesk", {{"Name", QString(21, u'x')}}), QStringLiteral("Field 'Name' takes at most 20 characters"));
        QCOMPARE(add("Vesk", {{"Name", QString()}}), QStringLiteral("Field 'Name' cannot be empty"));
        QCOMPARE(add("Vesk", {{"Phone", QStringLiteral("1")}}), QStringLiteral("Field 'Name' is required and cannot be empty"));
        // Twenty Hebrew letters are twenty characters, whatever their size in bytes.
        QCOMPARE(add("Vesk", {{"Name", QString(20, QChar(0x05D0))}}), QString());
        // Address takes more than the editor's 50 characters.
        QCOMPARE(add("Vesk", {{"Name", QStringLiteral("Long address")}, {"Address", QString(200, u'a')}}), QString());
        testing::RawDb raw(m_path);
        QCOMPARE(raw.scalar(QStringLiteral("select count(*) from Work")), QStringLiteral("1"));
        QCOMPARE(raw.scalar(QStringLiteral("select Phone from Work")), QStringLiteral("1234"));
        QCOMPARE(raw.scalar(QStringLiteral("select count(*) from Vesk")), QStringLiteral("2"));
    }

    void cursorMovesAndWrites() {
        auto empty = m_db->openRecordset(Query::all(QStringLiteral("Vesk")));
        QVERIFY(empty->Eof());
        QCOMPARE(empty->RecordCount(), 0);
        QVERIFY_THROWS_EXCEPTION(StoreError, empty->value(0));

        for (const char* n : {"Cohen", "Abir", "Ben"})
            addCard("Vesk", QString::fromLatin1(n));
        auto rs = m_db->openRecordset(Query::allOrdered(QStringLiteral("Vesk"), QStringLiteral("ASC")));
        QCOMPARE(rs->RecordCount(), 3);
        rs->MoveFirst();
        rs->Move(2);
        QCOMPARE(*rs->value(QStringLiteral("Name")), QStringLiteral("Cohen"));
        QVERIFY(!rs->value(QStringLiteral("Phone")).has_value()); // never written: Null
        rs->Edit();
        rs->setValue(QStringLiteral("Phone"), QStringLiteral("035551234"));
        rs->Update();
        rs->MoveFirst();
        rs->MoveNext();
        rs->Delete(); // Ben
        QCOMPARE(names(Query::allOrdered(QStringLiteral("Vesk"), QStringLiteral("ASC"))),
                 QStringList({QStringLiteral("Abir"), QStringLiteral("Cohen")}));
        testing::RawDb raw(m_path);
        QCOMPARE(raw.scalar(QStringLiteral("select Phone from Vesk where Name = 'Cohen'")),
                 QStringLiteral("035551234"));
        // A refused write changes nothing, and the edit may be cancelled.
        rs->MoveFirst();
        rs->Edit();
        rs->setValue(QStringLiteral("Line"), QString(11, u'1'));
        QVERIFY_THROWS_EXCEPTION(StoreError, rs->Update());
        rs->CancelUpdate();
        QVERIFY(!rs->value(QStringLiteral("Line")).has_value());
        QCOMPARE(raw.scalar(QStringLiteral("select count(*) from Vesk where Line is not null")), QStringLiteral("0"));
    }

    // Names sort without regard to Latin case, Hebrew in alphabet order; a prefix matches the
    // same way, and typed text is never part of the SQL.
    void namesSortAndMatchTheirPrefixAsTyped() {
        for (const char* n : {"bob", "Alice", "Bea", "בני", "אבנר", "אבי", "O'Brien", "ג'ורג'", "50%_off", "a_b", "a\\b"})
            addCard("Vesk", QString::fromUtf8(n));
        QCOMPARE(names(Query::allOrdered(QStringLiteral("Vesk"), QStringLiteral("ASC"))),
                 QString::fromUtf8("50%_off,a\\b,a_b,Alice,Bea,bob,O'Brien,אבי,אבנר,בני,ג'ורג'").split(u','));
        const auto prefix = [&](const char* p) {
            return names(Query::namePrefix(QStringLiteral("Vesk"), QString::fromUtf8(p), QStringLiteral("ASC"))).join(u',');
        };
        for (const auto& [typed, found] : {std::pair{"א", "אבי,אבנר"}, {"b", "Bea,bob"}, {"O'", "O'Brien"}, {"ג'", "ג'ורג'"},
                                           {"50%", "50%_off"}, {"a_", "a_b"}, {"a\\", "a\\b"}, {"'; drop table Vesk; --", ""}})
            QCOMPARE(prefix(typed), QString::fromUtf8(found));
        QCOMPARE(names(Query::nameEquals(QStringLiteral("Vesk"), QStringLiteral("O'Brien"))),
                 QStringList{QStringLiteral("O'Brien")});
    }

    void listsAndPrefixesReadTheNameIndexInOrder() {
        // Found by range and read in listing order: no scan of every card, no sort afterwards.
        const auto plan = [&](const Query& q) {
            Statement st = m_db->connection().prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + q.sql());
            for (int i = 0; i < q.parameters().size(); ++i)
                st.bindText(i + 1, q.parameters().at(i));
            QStringList details;
            while (st.step())
                details << st.text(3);
            return details.join(u';');
        };
        for (const char* t : {"Vesk", "Work"}) {
            const QString table = QString::fromLatin1(t);
            const QString prefix = plan(Query::namePrefix(table, QStringLiteral("ab"), QStringLiteral("ASC")));
            QVERIFY2(prefix.contains(QStringLiteral("SEARCH %1 USING INDEX %1_Name").arg(table)), qPrintable(prefix));
            const QString all = plan(Query::allOrdered(table, QStringLiteral("ASC")));
            QVERIFY2(!all.contains(QStringLiteral("TEMP B-TREE")), qPrintable(all));
        }
    }

    // The list's query texts are checked where the window shows them; here, what no query takes.
    void queriesRefuseWhatIsNoName() {
        QVERIFY_THROWS_EXCEPTION(StoreError, Query::all(QStringLiteral("Vesk; drop table Work")));
        QVERIFY_THROWS_EXCEPTION(StoreError, Query::allOrdered(QStringLiteral("Vesk"), QStringLiteral("ASC, 1")));
    }

    // The name check of the editor and the vCard import: the same answer as trimming every
    // stored name and comparing it, case and all, with the name typed.
    void nameLookupAgreesWithAFullScan() {
        testing::RawDb raw(m_path);
        const QStringList stored = QString::fromUtf8("Avi|Avi |  Avi| Avi  |avi|Avigail|Av|a_b|a%b|50%|O'Brien|"
                                                     "אבי |Avi\t|\tBen|Ben\t")
                                       .split(u'|');
        for (const QString& n : stored)
            addCard("Vesk", n);
        addCard("Work", QStringLiteral("Dana"));
        const QStringList probes = QString::fromUtf8("Avi|avi|AVI|Avig|Avigail|A|a_b|aXb|a%b|50%|5|O'Brien|אבי|אב|"
                                                     "Avi\t|Ben|\tBen|Dana|Zed")
                                       .split(u'|');
        for (const QString& probe : probes) {
            bool scan = false;
            for (const QString& n : stored)
                scan = scan || trimSpaces(n) == probe;
            QVERIFY2(NameTaken(m_db->connection(), ContactGroup::Personal, probe) == scan, qPrintable(probe));
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
        ccc[Role::Name] = QStringLiteral("Ccc");
        ccc[Role::Work] = QStringLiteral("12"); // a Work card keeps its work phone in Phone
        ccc.rowid = InsertContact(db, ccc);
        QCOMPARE(ReadContact(db, ContactGroup::Work, ccc.rowid), ccc); // Nulls stay Null
        auto cursor = m_db->openRecordset(Query::all(QStringLiteral("Work")));

        ContactRecord changed = ccc;
        changed[Role::Fax] = QStringLiteral("Sales");
        QVERIFY(UpdateContact(db, ccc, changed)); // Null matched to Null
        QCOMPARE(ReadContact(db, ContactGroup::Work, ccc.rowid), changed);

        testing::RawDb other(m_path);
        other.exec(QStringLiteral("DELETE FROM Work WHERE Name = 'Ccc'"));
        other.exec(QStringLiteral("INSERT INTO Work (rowid, Name, Phone) VALUES (%1, 'Zed', '1')").arg(ccc.rowid));
        QVERIFY(!UpdateContact(db, changed, ccc));
        QVERIFY(!DeleteContact(db, ContactGroup::Work, ccc.rowid, QStringLiteral("Ccc")));
        // The cursor read the card before either change.
        cursor->Edit();
        cursor->setValue(QStringLiteral("Phone"), QStringLiteral("99"));
        QVERIFY_THROWS_EXCEPTION(StoreError, cursor->Update());
        cursor->CancelUpdate();
        QVERIFY_THROWS_EXCEPTION(StoreError, cursor->Delete());
        QCOMPARE(other.rows(QStringLiteral("SELECT rowid, Name, Phone FROM Work")),
                 QStringList{QStringLiteral("%1|Zed|1").arg(ccc.rowid)});
        QVERIFY(!ReadContact(db, ContactGroup::Personal, ccc.rowid).has_value());
        QVERIFY(DeleteContact(db, ContactGroup::Work, ccc.rowid, QStringLiteral("Zed")));
        QCOMPARE(other.scalar(QStringLiteral("SELECT count(*) FROM Work")), QStringLiteral("0"));
    }

    // Table and field lookups are exact and need an open file; a file that is no database
    // fails at the open, and creating never writes over a file.
    void lookupsOpenAndCreate() {
        QVERIFY(m_db->TableExists(QStringLiteral("dbDetails")));
        QVERIFY(!m_db->TableExists(QStringLiteral("dbdetails")) && !m_db->TableExists(QStringLiteral("Contacts")));
        m_db->openCurrent(Query::version());
        QVERIFY(m_db->FieldExists(QStringLiteral("dbVerNum")) && !m_db->FieldExists(QStringLiteral("dbvernum")));
        QCOMPARE(*m_db->CurrentRecordset->value(QStringLiteral("dbVerNum")), QStringLiteral("1"));
        m_db->close();
        QVERIFY_THROWS_EXCEPTION(StoreError, m_db->TableExists(QStringLiteral("Vesk")));
        QVERIFY_THROWS_EXCEPTION(StoreError, m_db->FieldExists(QStringLiteral("Name")));

        const QString junk = m_dir.filePath(QStringLiteral("junk.MDB"));
        testing::writeFile(junk, QByteArray(4096, 'x'));
        QString said;
        try {
            m_db->open(junk);
        } catch (const StoreError& e) {
            said = e.description();
        }
        QCOMPARE(said, QStringLiteral("The file is damaged or is not a database"));
        QVERIFY(!m_db->isOpen());
        QVERIFY_THROWS_EXCEPTION(StoreError, m_db->create(m_path)); // never over an existing file
    }

    void fileExistsSeesOrdinaryFilesOnly() {
        testing::writeFile(m_dir.filePath(QStringLiteral(".hidden")));
        QVERIFY(FileExists(m_path));
        for (const QString& name : {QString(), QStringLiteral("missing.MDB"), QStringLiteral(".hidden")})
            QVERIFY2(!FileExists(name.isEmpty() ? m_dir.path() : m_dir.filePath(name)), qPrintable(name));
    }

    void suppressedStepsKeepTheLastError() {
        SuppressedSteps s;
        int ran = 0;
        s.run([&] { ++ran; });
        QVERIFY(!s.hasPending());
        s.run([&] { throw StoreError(1, QStringLiteral("first")); });
        s.run([&] { ++ran; });
        QVERIFY(s.test([&]() -> bool { throw StoreError(2, QStringLiteral("second")); }));
        QVERIFY(!s.test([] { return false; }));
        QCOMPARE(ran, 2);
        QCOMPARE(s.pending()->description(), QStringLiteral("second"));
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
