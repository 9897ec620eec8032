// The media commands: new, edit and delete, and the quick access and double click that lead
// to them.
#include "ui/main_frm.h"

#include "platform/rtl/stringlist.h"
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
#include <QTextBlock>

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

// The lines of a text area, empty ones included; a line break at the very end adds no line.
std::vector<AnsiString> lines_of(const QPlainTextEdit* memo)
{
    QStringList blocks;
    for (QTextBlock b = memo->document()->begin(); b.isValid(); b = b.next())
        blocks << b.text();
    TStringList lines;
    lines.SetText(blocks.join(u'\n').replace(QChar::LineSeparator, u'\n'));
    std::vector<AnsiString> out;
    for (const String& line : lines.lines())
        out.emplace_back(line);
    return out;
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

// Statements that belong together: all of them take effect, or none. The error that ends
// them goes on to the caller.
template <class Work> void together(Db_access& db, Work&& work)
{
    db.db_begin();
    try {
        work();
        db.db_commit();
    } catch (...) {
        db.db_rollback();
        throw;
    }
}

// The steps of a command that stores in several statements, then the refresh. Once a step
// has changed what the list shows (stored set), a later failure refreshes the list all the
// same, so that it shows what is stored and nobody enters a medium twice; the failure then
// goes on to the application's handler.
template <class Steps> void storing(Tfrm_main& frm, const bool& stored, Steps&& steps)
{
    try {
        steps();
    } catch (const Exception&) {
        if (stored) {
            try {
                refresh(frm);
            } catch (const Exception&) {
                // The failure of the command is the one to report; the list stays as it was.
            }
        }
        throw;
    }
    refresh(frm);
}

// Another computer of the household deleted the medium while the editor was open: the user
// learns that the changes found no medium.
Exception gone(int key, const char* sentence)
{
    return Exception(QString::fromUtf8("Multimediaobjekt mit Schlüssel ") + IntToStr(key) +
                     QString::fromUtf8(" ist nicht mehr in der Datenbank") +
                     QString::fromUtf8(sentence));
}

} // namespace

void Tfrm_main::act_neuExecute(QObject*)
{
    auto editor = std::make_unique<Tfrm_medium>(this);
    editor->setWindowTitle(QStringLiteral("Medium erfassen"));
    editor->start_in();
    if (editor->ShowModal() != mrOk)
        return;

    const AnsiString titel(editor->edt_name->text());
    const AnsiString autor(editor->edt_autor->text());
    const AnsiString jahr(editor->edt_jahr->text());
    const AnsiString isbn(editor->edt_isbn->text());
    const int typIndex = editor->cbo_typ->currentIndex();
    const int kategorieIndex = editor->cbo_kategorie->currentIndex();
    const int standortIndex = editor->cbo_standort->currentIndex();
    const int typ = key_at(editor->typ_keys, typIndex);
    const int kategorie = key_at(editor->kategorie_keys, kategorieIndex);
    const int standort = key_at(editor->standort_keys, standortIndex);

    Media medium;
    medium.set_titel(titel);
    medium.set_autor(autor);
    medium.set_jahr(jahr);
    medium.set_isbn(isbn);
    medium.set_beschrieb(lines_of(editor->mem_beschrieb));
    medium.set_typfk(typ);
    medium.set_kategoriefk(kategorie);
    medium.set_ortfk(standort);

    bool stored = false;
    storing(*this, stored, [&] {
        db_access->put_medium(medium);
        stored = true;
        medium.set_key(db_access->get_lastPk());
        const std::vector<AnsiString> keywords = editor->keywords();
        if (!keywords.empty()) {
            medium.set_stichworte(keywords);
            together(*db_access, [&] { db_access->put_stichwort(medium); });
        }
    });
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

    if (editor->ShowModal() != mrOk)
        return;

    // What the list shows changes with the main data, and with the medium found gone; the
    // loan and the keywords are not in it.
    bool stored = false;
    storing(*this, stored, [&] {
        if (editor->data_changed) {
            medium.set_titel(AnsiString(editor->edt_name->text()));
            medium.set_autor(AnsiString(editor->edt_autor->text()));
            medium.set_isbn(AnsiString(editor->edt_isbn->text()));
            const int standortIndex = editor->cbo_standort->currentIndex();
            if (standortIndex >= 0)
                medium.set_ortfk(key_at(editor->standort_keys, standortIndex));
            medium.set_jahr(AnsiString(editor->edt_jahr->text()));
            std::vector<AnsiString> description = lines_of(editor->mem_beschrieb);
            for (AnsiString& line : description)
                line = TrimRight(line);
            medium.set_beschrieb(description);
            medium.set_tage(StrToIntDef(editor->edt_tage->text(), 0));
            // Each list on its own: a list without a chosen entry keeps the loaded key.
            const int typIndex = editor->cbo_typ->currentIndex();
            const int kategorieIndex = editor->cbo_kategorie->currentIndex();
            if (typIndex >= 0)
                medium.set_typfk(key_at(editor->typ_keys, typIndex));
            if (kategorieIndex >= 0)
                medium.set_kategoriefk(key_at(editor->kategorie_keys, kategorieIndex));
            const bool found = db_access->up_medium(key, medium);
            stored = true;
            if (!found)
                throw gone(key, ". Multimedia Eintrag kann nicht upgedatet werden");
        }
        if (editor->loan_changed) {
            medium.set_auslei(AnsiString(editor->edt_auslei->text()));
            medium.set_datum(editor->dat_datum->GetDate());
            medium.set_tage(StrToIntDef(editor->edt_tage->text(), 0));
            if (!db_access->up_leihen(key, medium)) {
                stored = true;
                throw gone(key, ". Ausleihdaten können nicht in DB geschrieben werden");
            }
        }
        if (editor->keywords_changed) {
            medium.set_stichworte(editor->keywords());
            together(*db_access, [&] {
                db_access->del_stichwort(key);
                db_access->put_stichwort(medium);
            });
        }
    });
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
    // The keywords first: each refers to its medium.
    together(*db_access, [&] {
        db_access->del_stichwort(key);
        db_access->del_media(key);
    });
    refresh(*this);
}
