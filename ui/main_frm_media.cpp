// The media commands: new, edit and delete, and the quick access and double click that lead
// to them.
#include "ui/main_frm.h"

#include "platform/rtl/sysutils.h"
#include "platform/vcl/application.h"
#include "platform/vcl/datetimepicker.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/labelededit.h"
#include "platform/vcl/string_grid.h"
#include "store/db_access.h"
#include "store/media.h"
#include "ui/medium_frm.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include <memory>

namespace {

// The key text in the current row; empty when nothing is selected.
AnsiString selected_key(const TStringGrid& grid)
{
    return AnsiString(grid.Cells(0, grid.Row()));
}

// The key that belongs to the chosen entry of a selection list.
int key_at(const std::vector<int>& keys, int index)
{
    if (index < 0 || index >= static_cast<int>(keys.size()))
        throw Exception(QString::fromUtf8("Kein Eintrag in der Auswahlliste gewählt"));
    return keys[static_cast<std::size_t>(index)];
}

// One line of the text area per entry. A line read from the store still ends with the CR of
// its line break; in the text area it would break the line once more.
void set_lines(QPlainTextEdit* memo, const std::vector<AnsiString>& lines)
{
    QStringList text;
    for (const AnsiString& line : lines) {
        String shown = line.toString();
        if (shown.endsWith(u'\r'))
            shown.chop(1);
        text << shown;
    }
    memo->setPlainText(text.join(u'\n'));
}

// The whole catalogue in title order into the grid, the column widths applied again.
void refresh(Tfrm_main& frm)
{
    frm.db_access->stop_medilist();
    frm.db_access->start_medlist();
    frm.paint_grid();
    frm.ini_grid();
}

// The editor's page that holds the part of the medium that the server refused.
void show_part(Tfrm_medium& editor, ESaveError::Part part)
{
    switch (part) {
    case ESaveError::Part::data:
    case ESaveError::Part::keywords:
        editor.tab_medium->setCurrentWidget(editor.tab_titel);
        break;
    case ESaveError::Part::description:
        editor.tab_medium->setCurrentWidget(editor.tab_beschrieb);
        break;
    case ESaveError::Part::loan:
        editor.tab_medium->setCurrentWidget(editor.tab_auslei);
        break;
    case ESaveError::Part::unknown:
        break;
    }
}

// The store work of the editor's OK. When it fails, the editor stays open with what the user
// typed and shows the page of the part at fault; where the catalogue may have changed all
// the same, the list shows at once what is stored now. The error goes on to the
// application's handler.
template <class Work> void saving(Tfrm_main& frm, Tfrm_medium& editor, Work&& work)
{
    try {
        work();
    } catch (const ESaveError& e) {
        show_part(editor, e.part);
        if (e.changed) {
            try {
                refresh(frm);
            } catch (const Exception&) {
                // The failure of the save is the one to report; the list stays as it was.
            }
        }
        throw;
    }
}

// The caption of a field as the editor shows it.
String caption(MediumField field)
{
    switch (field) {
    case MediumField::titel:
        return QStringLiteral("Titel");
    case MediumField::autor:
        return QStringLiteral("Autor");
    case MediumField::isbn:
        return QStringLiteral("ISBN-Nummer");
    case MediumField::standort:
        return QStringLiteral("Standort");
    case MediumField::jahr:
        return QStringLiteral("Jahr");
    case MediumField::beschreibung:
        return QStringLiteral("Beschreibung");
    case MediumField::tage:
        return QStringLiteral("Ausleihfrist");
    case MediumField::typ:
        return QStringLiteral("Typ");
    case MediumField::kategorie:
        return QStringLiteral("Kategorie");
    case MediumField::ausgeliehen:
        return QStringLiteral("Ausgeliehen an");
    case MediumField::datum:
        return QStringLiteral("Datum der Ausleihe");
    case MediumField::stichworte:
        return QStringLiteral("Stichworte");
    }
    return QString();
}

// Another computer changed the medium while the editor was open: the user decides whether
// the editor's version replaces those changes.
bool overwrite(int key, const std::vector<MediumField>& changed)
{
    QStringList names;
    for (MediumField field : changed)
        names << caption(field);
    const String question =
        QString::fromUtf8("Das Medium mit Schlüssel ") + IntToStr(key) +
        QString::fromUtf8(" wurde inzwischen an einem anderen PC geändert: ") +
        names.join(QStringLiteral(", ")) +
        QString::fromUtf8(".\n\nSoll Ihre Fassung trotzdem gespeichert werden? „Ja“ "
                          "überschreibt diese Änderungen des anderen PCs; „Nein“ speichert "
                          "nichts und lässt Ihre Eingaben im Fenster stehen.");
    return MessageDlg(question, mtConfirmation, {mbYes, mbNo}, 0) == mrYes;
}

} // namespace

void Tfrm_main::act_neuExecute(QObject*)
{
    auto editor = std::make_unique<Tfrm_medium>(this);
    editor->setWindowTitle(QStringLiteral("Medium erfassen"));
    editor->start_in();
    Tfrm_medium& e = *editor;
    editor->on_save = [this, &e] {
        const AnsiString titel(e.edt_name->text());
        const AnsiString autor(e.edt_autor->text());
        const AnsiString jahr(e.edt_jahr->text());
        const AnsiString isbn(e.edt_isbn->text());
        const int typIndex = e.cbo_typ->currentIndex();
        const int kategorieIndex = e.cbo_kategorie->currentIndex();
        const int standortIndex = e.cbo_standort->currentIndex();
        const int typ = key_at(e.typ_keys, typIndex);
        const int kategorie = key_at(e.kategorie_keys, kategorieIndex);
        const int standort = key_at(e.standort_keys, standortIndex);

        Media medium;
        medium.set_titel(titel);
        medium.set_autor(autor);
        medium.set_jahr(jahr);
        medium.set_isbn(isbn);
        medium.set_beschrieb(lines_of(e.mem_beschrieb));
        medium.set_typfk(typ);
        medium.set_kategoriefk(kategorie);
        medium.set_ortfk(standort);
        medium.set_stichworte(e.keywords());
        // The medium and its keywords go in together, or nothing does.
        saving(*this, e, [&] { db_access->put_eintrag(medium); });
    };
    if (editor->ShowModal() == mrOk)
        refresh(*this);
}

void Tfrm_main::quick_neuExecute(QObject* Sender)
{
    act_neuExecute(Sender);
}

void Tfrm_main::act_offenExecute(QObject*)
{
    // Created first: the selection lists are read even when nothing is selected.
    auto editor = std::make_unique<Tfrm_medium>(this);
    const AnsiString keyText = selected_key(*strg_main);
    if (keyText.IsEmpty())
        return;
    const int key = StrToInt(keyText.toString());
    editor->start_update();
    editor->edt_pk->setText(keyText.toString());
    editor->setWindowTitle(QStringLiteral("Medium bearbeiten"));
    SetHelpContext(editor.get(), 105);

    Media medium = db_access->get_medium(key);
    editor->edt_name->setText(medium.get_titel().toString());
    editor->edt_autor->setText(medium.get_autor().toString());
    editor->cbo_standort->setEditText(medium.get_standortname().toString());
    editor->edt_jahr->setText(medium.get_jahr().toString());
    editor->edt_isbn->setText(medium.get_isbn().toString());
    set_lines(editor->mem_beschrieb, medium.get_beschrieb());
    editor->edt_auslei->setText(medium.get_auslei().toString());
    editor->cbo_typ->setEditText(medium.get_typname().toString());
    editor->cbo_kategorie->setEditText(medium.get_katname().toString());
    editor->dat_datum->SetDate(medium.get_datum());
    editor->edt_tage->setText(QString::asprintf("%i", medium.get_tage()));
    set_lines(editor->mem_stichwort, medium.get_stichworte());

    Tfrm_medium& e = *editor;
    // The receipt button stores the loan at once, without a question: what it stored is what
    // the user sees from then on, not another computer's change.
    Bind(e.btn_quitung, &QPushButton::clicked, [&] {
        try {
            const Media stored = db_access->get_medium(key);
            if (stored.get_auslei() == AnsiString(e.edt_auslei->text()) &&
                stored.get_datum().Val == e.dat_datum->GetDate().Val &&
                stored.get_tage() == StrToIntDef(e.edt_tage->text(), 0)) {
                medium.set_auslei(stored.get_auslei());
                medium.set_datum(stored.get_datum());
                medium.set_tage(stored.get_tage());
            }
        } catch (const Exception&) {
            // The receipt has shown its own failure.
        }
    });
    editor->on_save = [&] {
        // The groups of the flags, each over the medium as it was loaded.
        Media edited = medium;
        if (e.data_changed) {
            edited.set_titel(AnsiString(e.edt_name->text()));
            edited.set_autor(AnsiString(e.edt_autor->text()));
            edited.set_isbn(AnsiString(e.edt_isbn->text()));
            const int standortIndex = e.cbo_standort->currentIndex();
            if (standortIndex >= 0)
                edited.set_ortfk(key_at(e.standort_keys, standortIndex));
            edited.set_jahr(AnsiString(e.edt_jahr->text()));
            std::vector<AnsiString> description = lines_of(e.mem_beschrieb);
            for (AnsiString& line : description)
                line = TrimRight(line);
            edited.set_beschrieb(description);
            edited.set_tage(StrToIntDef(e.edt_tage->text(), 0));
            // Each list on its own: a list without a chosen entry keeps the loaded key.
            const int typIndex = e.cbo_typ->currentIndex();
            const int kategorieIndex = e.cbo_kategorie->currentIndex();
            if (typIndex >= 0)
                edited.set_typfk(key_at(e.typ_keys, typIndex));
            if (kategorieIndex >= 0)
                edited.set_kategoriefk(key_at(e.kategorie_keys, kategorieIndex));
        }
        if (e.loan_changed) {
            edited.set_auslei(AnsiString(e.edt_auslei->text()));
            edited.set_datum(e.dat_datum->GetDate());
            edited.set_tage(StrToIntDef(e.edt_tage->text(), 0));
        }
        if (e.keywords_changed)
            edited.set_stichworte(e.keywords());
        if (!e.data_changed && !e.loan_changed && !e.keywords_changed)
            return;
        // What the user saw: the medium as loaded, and after "Ja" what the question named.
        Media seen = medium;
        for (;;) {
            std::vector<MediumField> changed;
            saving(*this, e, [&] {
                changed = db_access->up_eintrag(key, seen, edited, e.data_changed, e.loan_changed,
                                                e.keywords_changed);
            });
            if (changed.empty())
                return;
            // "Nein": nothing is stored, and the editor stays as it is.
            if (!overwrite(key, changed))
                throw EAbort();
        }
    };
    if (editor->ShowModal() == mrOk)
        refresh(*this);
}

void Tfrm_main::quick_berbeitenExecute(QObject* Sender)
{
    act_offenExecute(Sender);
}

void Tfrm_main::strg_mainDblClick(QObject* Sender)
{
    act_offenExecute(Sender);
}

void Tfrm_main::act_loeschenExecute(QObject*)
{
    const AnsiString keyText = selected_key(*strg_main);
    if (keyText.IsEmpty())
        return;
    const int key = StrToInt(keyText.toString());
    const String question = QString::fromUtf8("Soll Multimediaobjekt mit Schlüssel ") +
                            IntToStr(key) + QString::fromUtf8(" wirklich gelöscht werden?");
    if (MessageDlg(question, mtConfirmation, {mbYes, mbNo}, 0) != mrYes)
        return;
    db_access->del_eintrag(key);
    refresh(*this);
}
