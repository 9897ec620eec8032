// Db_access: the media list.
#include "store/db_access.h"

#include "store/db_guard.h"
#include "store/medium_db.h"

using store::guarded;

namespace {

// The position of a field of the result; raises as FieldByName does when it is missing.
int fieldIndex(TMyQuery* q, const char* name)
{
    const String field = QLatin1String(name);
    q->FieldByName(field);
    return q->FieldIndex(field);
}

// Appends every row of the query's result to the six lists, then closes the query. A row is
// read before the end is tested, so an empty result gives one empty entry per list. The
// fields are found by name once: every row of the result has them in the same places. Their
// bytes go into the lists as they are, packed, to become Strings only where they are shown.
void readRows(TMyQuery* q, TStringList& ids, TStringList& titles, TStringList& authors,
              TStringList& locations, TStringList& types, TStringList& categories)
{
    TStringList* lists[] = {&ids, &titles, &authors, &locations, &types, &categories};
    const int fields[] = {fieldIndex(q, "id"),    fieldIndex(q, "titel"),
                          fieldIndex(q, "autor"), fieldIndex(q, "standort"),
                          fieldIndex(q, "typ"),   fieldIndex(q, "kategorie")};
    do {
        for (int i = 0; i < 6; ++i)
            q->Fields(fields[i]).AddTo(*lists[i]);
        q->Next();
    } while (!q->Eof());
    q->Close();
}

// Only a plain name may stand in the order line: ASCII letters, digits and underscores.
bool isIdentifier(const AnsiString& name)
{
    if (name.IsEmpty())
        return false;
    for (const char c : name.bytes()) {
        const bool plain =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!plain)
            return false;
    }
    return true;
}

// What the list is ordered by: a text column in German dictionary order, the key by its
// number.
String orderKey(const AnsiString& column)
{
    const String name = column.toString();
    if (name.compare(QLatin1String("id"), Qt::CaseInsensitive) == 0)
        return name;
    return store::germanOrder(name);
}

// A search: the pattern bound to :such, the statement run, the rows read.
void search(TMyQuery* q, const char* sentence, const AnsiString& pattern, TStringList& ids,
            TStringList& titles, TStringList& authors, TStringList& locations, TStringList& types,
            TStringList& categories)
{
    guarded(
        sentence, [q] { q->Close(); },
        [&] {
            q->ParamByName(QStringLiteral("such"))->SetAsAnsiString(pattern);
            q->ExecSQL();
            readRows(q, ids, titles, authors, locations, types, categories);
        });
}

} // namespace

void Db_access::get_MediumListe(TStringList& ids, TStringList& titles, TStringList& authors,
                                TStringList& locations, TStringList& types, TStringList& categories)
{
    TMyQuery* q = dat_medium->qry_get_mediumListe;
    guarded(
        ". Medium kann nicht gelesen werden", [q] { q->Close(); },
        [&] {
            // Left open by start_medlist, the query keeps the result of that opening.
            q->Open();
            readRows(q, ids, titles, authors, locations, types, categories);
        });
}

void Db_access::get_medilist_sort(TStringList& ids, TStringList& titles, TStringList& authors,
                                  TStringList& locations, TStringList& types,
                                  TStringList& categories, AnsiString column, bool descending)
{
    TMyQuery* q = dat_medium->qry_medlist_sort;
    guarded(
        ". Medien können nicht sortiert werden.", [q] { q->Close(); },
        [&] {
            if (!isIdentifier(column))
                throw Exception(
                    QString::fromUtf8("Ungültiger Spaltenname '%1'").arg(column.toString()));
            q->SQL[8] = QStringLiteral("order by ") + orderKey(column) +
                        (descending ? QStringLiteral(" desc") : QStringLiteral(" asc"));
            q->Open();
            readRows(q, ids, titles, authors, locations, types, categories);
        });
}

void Db_access::get_medilist_such(TStringList& ids, TStringList& titles, TStringList& authors,
                                  TStringList& locations, TStringList& types,
                                  TStringList& categories, AnsiString pattern)
{
    search(dat_medium->qry_med_such, ". Medien können nicht sortiert werden.", pattern, ids, titles,
           authors, locations, types, categories);
}

void Db_access::get_stichwort_such(TStringList& ids, TStringList& titles, TStringList& authors,
                                   TStringList& locations, TStringList& types,
                                   TStringList& categories, AnsiString pattern)
{
    search(dat_medium->qry_stichwort_such, ". Es wurde kein Suchergebnis gefunden.", pattern, ids,
           titles, authors, locations, types, categories);
}

void Db_access::start_medlist()
{
    TMyQuery* q = dat_medium->qry_get_mediumListe;
    guarded(
        ". Liste kann nicht geöffnet werden", [q] { q->Close(); }, [q] { q->Open(); });
}

void Db_access::stop_medilist()
{
    // A failed Close is tried once more before the error is raised.
    TMyQuery* q = dat_medium->qry_get_mediumListe;
    guarded(
        ". Liste kann nicht geschlossen werden", [q] { q->Close(); }, [q] { q->Close(); });
}
