// Sorting the list by a column and searching titles and keywords.
#include "ui/main_frm.h"

#include "platform/rtl/stringlist.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/header_control.h"
#include "store/db_access.h"

// Inverted before every sort, so the first sort after the start is ascending.
bool sort_descending = true;

void Tfrm_main::hec_mainSectionClick(THeaderControl*, THeaderSection* Section)
{
    TStringList ids, titles, authors, locations, types, categories;
    sort_descending = !sort_descending;
    db_access->get_medilist_sort(ids, titles, authors, locations, types, categories,
                                 AnsiString(Section->Text()), sort_descending);
    show_result(ids, titles, authors, locations, types, categories);
}

void Tfrm_main::act_suchenExecute(QObject*)
{
    TStringList ids, titles, authors, locations, types, categories;
    const String pattern = InputBox(QStringLiteral("Suche einen Eintrag"),
                                    QStringLiteral("Suchbegriff"), QStringLiteral("%%"));
    db_access->get_medilist_such(ids, titles, authors, locations, types, categories,
                                 AnsiString(pattern));
    show_result(ids, titles, authors, locations, types, categories);
}

void Tfrm_main::act_quick_suchExecute(QObject* Sender)
{
    act_suchenExecute(Sender);
}

void Tfrm_main::act_worte_suchExecute(QObject*)
{
    TStringList ids, titles, authors, locations, types, categories;
    const String pattern = InputBox(QStringLiteral("Durchsuche die Stichworte"),
                                    QStringLiteral("Suchbegriff"), QStringLiteral("%%"));
    db_access->get_stichwort_such(ids, titles, authors, locations, types, categories,
                                  AnsiString(pattern));
    show_result(ids, titles, authors, locations, types, categories);
}
