#pragma once

#include <QString>

#include <vector>

namespace store {

class ContactDatabase;
class SuppressedSteps;

// The schema version this program writes and accepts.
inline constexpr int SchemaVersion = 1;

struct ColumnDef {
    const char16_t* name;
    int width;         // characters
    bool required;     // Null refused
    bool allowEmpty;   // "" accepted
    bool byte = false; // an unsigned 8-bit number rather than text
};

// The fields of "Vesk", "Work" or "dbDetails" in creation order; empty for any other name.
const std::vector<ColumnDef>& columnsOf(const QString& table);
// CREATE TABLE statement whose named CHECK constraints word the reason a value is refused.
QString createTableSql(const QString& table);

// The index that serves the lists and the search: names in their listing order, so that a
// prefix match reads a range instead of every card.
QString createNameIndexSql(const QString& table);
// Adds that index to the contact tables of a file made before it existed. Best effort: a
// file that cannot take it (read-only, a table without Name) is listed without it.
void EnsureNameIndexes(ContactDatabase& db);

// Creates one of the three tables (any other name does nothing); writes the version row
// after creating dbDetails. Errors become the pending error of `steps`.
void CreateContactTable(ContactDatabase& db, const QString& name, SuppressedSteps& steps);
void WriteInitialVersion(ContactDatabase& db);

} // namespace store
