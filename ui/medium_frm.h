#pragma once

#include "platform/rtl/ansistring.h"

#include <QDialog>

#include <functional>
#include <vector>

class Db_access;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TDateTimePicker;
class TLabeledEdit;

// The lines of a text area, empty ones included; a line break at the very end adds no line.
std::vector<AnsiString> lines_of(const QPlainTextEdit* memo);

// The media editor: collects one medium's main data, description, keywords and loan. Its
// creator puts it into new or edit mode, fills the fields in edit mode, shows it modally and
// after mrOk reads the fields, the three change flags and the key lists. Only the creation
// (filling the selection lists), the add-entry buttons and the receipt button call the store.
class Tfrm_medium : public QDialog {
    Q_OBJECT
public:
    // Builds the window and fills the three selection lists from the store.
    explicit Tfrm_medium(QWidget* owner);
    ~Tfrm_medium() override;

    QPushButton* btn_ok;
    QPushButton* btn_cansle;
    QPushButton* btn_help;
    QTabWidget* tab_medium;
    QWidget* tab_titel;
    QWidget* tab_beschrieb;
    QWidget* tab_auslei;
    QLineEdit* edt_pk;
    TLabeledEdit* edt_name;
    QPlainTextEdit* mem_beschrieb;
    TLabeledEdit* edt_jahr;
    QLabel* lbl_typ;
    QLabel* lbl_kategorie;
    TLabeledEdit* edt_auslei;
    TDateTimePicker* dat_datum;
    QLabel* lbl_datum;
    TLabeledEdit* edt_autor;
    QLabel* lbl_stichwor;
    QPlainTextEdit* mem_stichwort;
    QLabel* lbl_standort;
    QComboBox* cbo_standort;
    QComboBox* cbo_typ;
    QComboBox* cbo_kategorie;
    QPushButton* btn_eingabe_ort;
    QPushButton* btn_eingabe_typ;
    QPushButton* btn_eingabe_kat;
    TLabeledEdit* edt_isbn;
    TLabeledEdit* edt_tage;
    QLabel* lbl_ende;
    TDateTimePicker* dat_ende;
    QPushButton* btn_quitung;
    QPushButton* btn_heute;
    QPushButton* btn_drei;
    QPushButton* btn_sechs;
    QPushButton* neun;
    QLabel* lbl_tage;

    // Title, author, year, location, type, category or description touched.
    bool data_changed = false;
    // The focus left the keyword field.
    bool keywords_changed = false;
    // The user went into the borrower field or the loan date; the focus that showing their
    // page hands to the borrower field does not count.
    bool loan_changed = false;
    // Keys parallel to the entries of cbo_typ, cbo_kategorie and cbo_standort.
    std::vector<int> typ_keys;
    std::vector<int> kategorie_keys;
    std::vector<int> standort_keys;
    // The creator's store work for OK, run before the window closes. When it raises, the
    // error goes to the application's handler and the window stays open with everything as
    // typed, so that OK can store it once the user has mended it.
    std::function<void()> on_save;

    // New mode: loan fields locked, first entries selected, main fields cleared.
    void start_in();
    // Edit mode: main fields cleared, everything editable.
    void start_update();
    // Shows the window modally: mrOk after OK, mrCancel after Abbrechen, Esc or the close box.
    int ShowModal();

    // The checks that OK runs before anything is stored: characters that the catalogue cannot
    // hold, keywords too long, a list text that is no entry, a period that is no whole number.
    // The first fault found is shown in German with the page and the focus on its field, and
    // the result is false; every field keeps what the user typed. A list text equal to an
    // entry selects that entry; that alone changes no flag.
    bool check_input();
    // The keyword set of the keyword field, as OK stores it.
    std::vector<AnsiString> keywords() const;

    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate(QObject* Sender);
    void FormShow(QObject* Sender);
    void edt_nameExit(QObject* Sender);
    void edt_autorExit(QObject* Sender);
    void edt_jahrExit(QObject* Sender);
    void cbo_standortChange(QObject* Sender);
    void cbo_typChange(QObject* Sender);
    void cbo_kategorieChange(QObject* Sender);
    void mem_beschriebChange(QObject* Sender);
    void mem_stichwortExit(QObject* Sender);
    void edt_ausleiEnter(QObject* Sender);
    void dat_datumEnter(QObject* Sender);
    void edt_tageChange(QObject* Sender);
    void edt_tageExit(QObject* Sender);
    void btn_eingabe_ortClick(QObject* Sender);
    void btn_eingabe_typClick(QObject* Sender);
    void btn_eingabe_katClick(QObject* Sender);
    void btn_dreiClick(QObject* Sender);
    void btn_sechsClick(QObject* Sender);
    void neunClick(QObject* Sender);
    void btn_heuteClick(QObject* Sender);
    void btn_quitungClick(QObject* Sender);

    void build();
    void bind();
    void set_period(int days);
    void check_left_period();
    void compute_return();
    String period_fault();
    bool check_period();
    bool check_text(QWidget* field, const String& text, const char* caption);
    bool check_keywords();
    bool check_list(QComboBox* list, const char* none, const char* one, const char* newOne);
    bool refuse(QWidget* field, const String& message);
    void
    add_entry(QComboBox* list, std::vector<int>& keys,
              const std::function<int(Db_access&, const AnsiString&)>& put,
              const std::function<std::vector<AnsiString>(Db_access&, std::vector<int>&)>& read,
              const String& message);

    // While OK's checks run: the focus that they move is no leaving of the period field.
    bool checking = false;
};
