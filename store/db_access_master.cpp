// Db_access: the master data (types, categories, locations).
#include "store/db_access.h"

#include "store/db_guard.h"
#include "store/medium_db.h"

using store::guarded;

namespace {

// All names of one table in the query's order, their keys appended to the caller's list.
// A row is read before the end is tested: an empty table gives one empty name and key 0.
std::vector<AnsiString> readNames(TMyQuery* q, const char* keyField, const char* nameField,
                                  std::vector<int>& keys, const char* sentence)
{
    return guarded(
        sentence, [q] { q->Close(); },
        [&] {
            std::vector<AnsiString> names;
            q->Open();
            do {
                keys.push_back(q->FieldByName(QString::fromLatin1(keyField)).AsInteger());
                names.push_back(q->FieldByName(QString::fromLatin1(nameField)).AsAnsiString());
                q->Next();
            } while (!q->Eof());
            q->Close();
            return names;
        });
}

// Inserts one name and returns the table's largest key.
int insertName(TMyCommand* insert, const char* param, TMyQuery* maxKey, const AnsiString& name,
               const char* sentence)
{
    return guarded(
        sentence,
        [insert, maxKey] {
            insert->BreakExec();
            maxKey->Close();
        },
        [&] {
            insert->ParamByName(QString::fromLatin1(param))->SetAsAnsiString(name);
            insert->Execute();
            maxKey->Open();
            const int key = maxKey->FieldByName("pk").AsInteger();
            maxKey->Close();
            return key;
        });
}

// Opens or closes a table for the master-data dialogs, then enables or disables its data
// source. On failure the table is closed and the data source keeps its state.
void switchTable(TMyTable* table, TMyDataSource* source, bool open, const char* sentence)
{
    guarded(
        sentence, [table] { table->Close(); },
        [&] {
            if (open)
                table->Open();
            else
                table->Close();
            source->SetEnabled(open);
        });
}

} // namespace

std::vector<AnsiString> Db_access::get_typ(std::vector<int>& keys)
{
    return readNames(dat_medium->qry_typ, "mediumtyp_pk", "typ", keys,
                     ". Type Daten können nicht gelesen werden");
}

std::vector<AnsiString> Db_access::get_kategorie(std::vector<int>& keys)
{
    return readNames(dat_medium->qry_kategorie, "kategorie_pk", "name", keys,
                     ". Kategorie Daten können nicht gelesen werden");
}

std::vector<AnsiString> Db_access::get_standort(std::vector<int>& keys)
{
    return readNames(dat_medium->qry_standort, "standort_pk", "ort", keys,
                     ". Standort Daten können nicht gelesen werden");
}

int Db_access::put_ort(AnsiString name)
{
    return insertName(dat_medium->myco_ortin, "ort", dat_medium->qry_ortpkmax, name,
                      ". Neuer Standort kann nicht in die DB geschrieben werden");
}

int Db_access::put_typ(AnsiString name)
{
    return insertName(dat_medium->myco_typin, "typ", dat_medium->qry_typpkmax, name,
                      ". Neuer Typ kann nicht in die DB geschrieben werden");
}

int Db_access::put_kat(AnsiString name)
{
    return insertName(dat_medium->myco_katin, "name", dat_medium->qry_katpkmax, name,
                      ". Neue Kategorie kann nicht in die DB geschrieben werden");
}

void Db_access::open_kat()
{
    switchTable(dat_medium->myt_kategorie, dat_medium->myds_kategorie, true,
                " .Tabelle Kategorie kann nicht geöffnet werden");
}

void Db_access::clos_kat()
{
    switchTable(dat_medium->myt_kategorie, dat_medium->myds_kategorie, false,
                " .Tabelle Kategorie kann nicht geschlossen werden");
}

void Db_access::open_typ()
{
    switchTable(dat_medium->myt_typ, dat_medium->myds_typ, true,
                " .Tabelle Typ kann nicht geöffnet werden");
}

void Db_access::clos_typ()
{
    switchTable(dat_medium->myt_typ, dat_medium->myds_typ, false,
                " .Tabelle Typ kann nicht geschlossen werden");
}

void Db_access::open_ort()
{
    switchTable(dat_medium->myt_standort, dat_medium->myds_standort, true,
                " .Tabelle Ort kann nicht geöffnet werden");
}

void Db_access::clos_ort()
{
    switchTable(dat_medium->myt_standort, dat_medium->myds_standort, false,
                " .Tabelle Ort kann nicht geschlossen werden");
}
