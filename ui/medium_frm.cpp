#include "ui/medium_frm.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/application.h"
#include "platform/vcl/datetimepicker.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/labelededit.h"
#include "store/db_access.h"
#include "store/keywords.h"

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

namespace {

// The picture of the three add-entry buttons.
QIcon addPicture()
{
    QPixmap pixmap(31, 31);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(46, 125, 50));
    p.drawEllipse(1, 1, 29, 29);
    p.setBrush(Qt::white);
    p.drawRect(14, 7, 3, 17);
    p.drawRect(7, 14, 17, 3);
    return QIcon(pixmap);
}

// The picture of the receipt button: a printer; its disabled form is derived by the style.
QIcon receiptPicture()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(64, 64, 64));
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(128, 128, 128));
    p.drawRect(1, 6, 13, 6);
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 7, 5);
    return QIcon(pixmap);
}

QLabel* label(const String& caption, QWidget* parent, int left, int top)
{
    auto* l = new QLabel(caption, parent);
    l->move(left, top);
    l->adjustSize();
    return l;
}

TLabeledEdit* labeledEdit(const String& caption, QWidget* parent, const QRect& place)
{
    auto* e = new TLabeledEdit(caption, parent);
    e->setGeometry(place);
    return e;
}

QComboBox* selectionList(QWidget* parent, const QRect& place)
{
    auto* c = new QComboBox(parent);
    // An entry can be picked or a text typed; typing never adds an entry.
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setGeometry(place);
    return c;
}

QPushButton* button(const String& caption, QWidget* parent, const QRect& place)
{
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(place);
    return b;
}

QPlainTextEdit* memo(QWidget* parent)
{
    auto* m = new QPlainTextEdit(parent);
    m->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m->setTabChangesFocus(true);
    return m;
}

// The sentence of the period field, after the reason why the period cannot be used.
const char* const kOnlyWhole = ". Es werden nur ganze Zahlen erlaubt";

// A character as a message names it: in quotes, or by its code where it shows no glyph of its
// own (a space, a control or format character, a combining mark).
String named(const String& character)
{
    const char32_t code = character.size() == 2 ? QChar::surrogateToUcs4(character[0], character[1])
                                                : character[0].unicode();
    switch (QChar::category(code)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return QStringLiteral("U+%1").arg(
            QString::number(code, 16).toUpper().rightJustified(4, u'0'));
    default:
        return QString::fromUtf8("„") + character + QString::fromUtf8("“");
    }
}

void fill(QComboBox* list, const std::vector<AnsiString>& names)
{
    for (const AnsiString& name : names)
        list->addItem(name.toString());
    // Adding to an empty list selects its first entry; the lists start without a selection.
    list->setCurrentIndex(-1);
}

} // namespace

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

Tfrm_medium::Tfrm_medium(QWidget* owner) : QDialog(owner)
{
    build();
    bind();
    Guard(this, [this] { FormCreate(this); });
}

Tfrm_medium::~Tfrm_medium()
{
    // The controls die after this window's own part: what they signal while they go (a list
    // emptied, the focus moving) must not reach handlers of a window that is gone.
    for (QWidget* control : findChildren<QWidget*>())
        control->blockSignals(true);
    for (QObject* control : findChildren<QObject*>())
        control->removeEventFilter(this);
}

void Tfrm_medium::build()
{
    setObjectName(QStringLiteral("frm_medium"));
    setWindowTitle(QStringLiteral("Medium eingeben"));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPixelSize(11);
    setFont(tahoma);
    resize(638, 536);
    SetHelpContext(this, 104);

    btn_ok = button(QStringLiteral("OK"), this, {369, 503, 80, 25});
    btn_ok->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    btn_ok->setDefault(true);
    SetHint(btn_ok, QStringLiteral("OK"));
    btn_cansle = button(QStringLiteral("Abbrechen"), this, {455, 503, 80, 25});
    btn_cansle->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    SetHint(btn_cansle, QStringLiteral("Abbrechen"));
    btn_help = button(QStringLiteral("&Hilfe"), this, {541, 503, 80, 25});
    btn_help->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));
    SetHint(btn_help, QStringLiteral("Hilfe"));

    tab_medium = new QTabWidget(this);
    tab_medium->setGeometry(0, 0, 638, 489);
    SetHelpContext(tab_medium, 105);
    tab_titel = new QWidget;
    tab_medium->addTab(tab_titel, QStringLiteral("Medium"));
    SetHelpContext(tab_titel, 105);
    tab_beschrieb = new QWidget;
    tab_medium->addTab(tab_beschrieb, QStringLiteral("Beschreibung"));
    tab_auslei = new QWidget;
    tab_medium->addTab(tab_auslei, QStringLiteral("Ausgeliehen"));
    SetHelpContext(tab_auslei, 110);

    const QIcon add = addPicture();
    edt_pk = new QLineEdit(tab_titel);
    edt_pk->setGeometry(3, 16, 70, 21);
    edt_pk->setReadOnly(true);
    QPalette inactiveCaption = edt_pk->palette();
    inactiveCaption.setColor(QPalette::Base, QColor(191, 205, 219));
    edt_pk->setPalette(inactiveCaption);
    edt_name = labeledEdit(QStringLiteral("Titel"), tab_titel, {3, 56, 622, 21});
    SetHelpKeyword(edt_name, QStringLiteral("Titel eingeben"));
    edt_autor = labeledEdit(QStringLiteral("Autor"), tab_titel, {3, 104, 622, 21});
    SetHelpKeyword(edt_autor, QStringLiteral("Autor erfassen"));
    edt_jahr = labeledEdit(QStringLiteral("Jahr"), tab_titel, {3, 200, 238, 21});
    SetHelpKeyword(edt_jahr, QStringLiteral("Jahrzahl"));
    lbl_stichwor = label(QStringLiteral("Stichworte"), tab_titel, 3, 288);
    mem_stichwort = memo(tab_titel);
    mem_stichwort->setGeometry(3, 307, 614, 134);
    SetHint(mem_stichwort, QStringLiteral("Suchbegriffe eingeben"));
    lbl_standort = label(QStringLiteral("Standort"), tab_titel, 3, 136);
    cbo_standort = selectionList(tab_titel, {3, 155, 326, 21});
    SetHint(cbo_standort, QStringLiteral("Standort"));
    btn_eingabe_ort = button(QString(), tab_titel, {335, 144, 34, 34});
    SetHint(btn_eingabe_ort, QStringLiteral("Standort|Speichert einen neuen Standort"));
    lbl_typ = label(QStringLiteral("Typ"), tab_titel, 3, 227);
    cbo_typ = selectionList(tab_titel, {3, 246, 238, 21});
    lbl_kategorie = label(QStringLiteral("Kategorie"), tab_titel, 336, 227);
    cbo_kategorie = selectionList(tab_titel, {336, 246, 250, 21});
    btn_eingabe_typ = button(QString(), tab_titel, {247, 240, 34, 33});
    SetHint(btn_eingabe_typ, QString::fromUtf8("Typ|Medientyp auswählen"));
    btn_eingabe_kat = button(QString(), tab_titel, {592, 238, 33, 35});
    SetHint(btn_eingabe_kat, QString::fromUtf8("Kategorie|Kategorie auswählen"));
    for (QPushButton* b : {btn_eingabe_ort, btn_eingabe_typ, btn_eingabe_kat}) {
        b->setIcon(add);
        b->setIconSize(QSize(31, 31));
    }
    edt_isbn = labeledEdit(QStringLiteral("ISBN-Nummer"), tab_titel, {336, 200, 289, 21});
    SetHint(edt_isbn, QStringLiteral("ISBN|ISBN-Nummer eingeben"));

    mem_beschrieb = memo(tab_beschrieb);
    SetHelpContext(mem_beschrieb, 105);
    SetHint(mem_beschrieb, QStringLiteral("Kollektar Beschreiben"));
    auto* fillPage = new QVBoxLayout(tab_beschrieb);
    fillPage->setContentsMargins(0, 0, 0, 0);
    fillPage->addWidget(mem_beschrieb);

    edt_auslei = labeledEdit(QStringLiteral("Ausgeliehen an"), tab_auslei, {3, 37, 614, 21});
    SetHelpKeyword(edt_auslei, QStringLiteral("Person eingeben"));
    lbl_datum = label(QStringLiteral("Datum"), tab_auslei, 3, 69);
    dat_datum = new TDateTimePicker(tab_auslei);
    dat_datum->setGeometry(3, 88, 206, 21);
    SetHelpKeyword(dat_datum, QStringLiteral("Datum angeben"));
    edt_tage = labeledEdit(QStringLiteral("Ausleihfrist"), tab_auslei, {3, 133, 206, 21});
    lbl_tage = label(QStringLiteral("Tage"), tab_auslei, 467, 136);
    lbl_ende = label(QString::fromUtf8("Rückgabedatum"), tab_auslei, 3, 160);
    dat_ende = new TDateTimePicker(tab_auslei);
    dat_ende->setGeometry(3, 179, 206, 21);
    // The days the window was laid out on; the return date shows it until it is computed.
    dat_datum->SetDate(EncodeDate(2018, 2, 7));
    dat_ende->SetDate(EncodeDate(2018, 2, 7));
    btn_quitung = button(QString(), tab_auslei, {580, 84, 37, 25});
    btn_quitung->setIcon(receiptPicture());
    SetHint(btn_quitung, QStringLiteral("Quitung Drucken|Ausleihquitung Drucken"));
    btn_heute = button(QStringLiteral("Heute"), tab_auslei, {224, 84, 75, 25});
    SetHint(btn_heute, QStringLiteral("Heute|Heutiges Datum"));
    btn_drei = button(QStringLiteral("30"), tab_auslei, {224, 131, 75, 25});
    SetHint(btn_drei, QStringLiteral("Ausleihfrist|Ausleihfrist 30 Tage"));
    btn_sechs = button(QStringLiteral("60"), tab_auslei, {305, 131, 75, 25});
    SetHint(btn_sechs, QStringLiteral("Ausleihfrist|Ausleihfrist 60 Tage"));
    neun = button(QStringLiteral("90"), tab_auslei, {386, 131, 75, 25});
    SetHint(neun, QStringLiteral("Ausleihfrist|Ausleihfrist 90 Tage"));

    // The fields take no more than the medium can keep: a longer text, typed or pasted, is
    // cut where the field ends instead of being refused with all the rest of the input after
    // OK. The limits count bytes of code page 1252, one per character. The ISBN has no limit
    // of its own but its column's width; a keyword, one line of many, is checked by OK.
    const std::pair<QLineEdit*, int> limits[] = {
        {edt_name, 200}, {edt_autor, 100}, {edt_jahr, 30}, {edt_isbn, 50}, {edt_auslei, 150},
    };
    for (const auto& [field, limit] : limits)
        field->setMaxLength(limit);
    // The first loan date that the medium takes: 1 January 1900 and before are refused.
    dat_datum->setMinimumDate(QDate(1900, 1, 2));

    const std::pair<QWidget*, const char*> names[] = {
        {btn_ok, "btn_ok"},
        {btn_cansle, "btn_cansle"},
        {btn_help, "btn_help"},
        {tab_medium, "tab_medium"},
        {tab_titel, "tab_titel"},
        {tab_beschrieb, "tab_beschrieb"},
        {tab_auslei, "tab_auslei"},
        {edt_pk, "edt_pk"},
        {edt_name, "edt_name"},
        {mem_beschrieb, "mem_beschrieb"},
        {edt_jahr, "edt_jahr"},
        {lbl_typ, "lbl_typ"},
        {lbl_kategorie, "lbl_kategorie"},
        {edt_auslei, "edt_auslei"},
        {dat_datum, "dat_datum"},
        {lbl_datum, "lbl_datum"},
        {edt_autor, "edt_autor"},
        {lbl_stichwor, "lbl_stichwor"},
        {mem_stichwort, "mem_stichwort"},
        {lbl_standort, "lbl_standort"},
        {cbo_standort, "cbo_standort"},
        {cbo_typ, "cbo_typ"},
        {cbo_kategorie, "cbo_kategorie"},
        {btn_eingabe_ort, "btn_eingabe_ort"},
        {btn_eingabe_typ, "btn_eingabe_typ"},
        {btn_eingabe_kat, "btn_eingabe_kat"},
        {edt_isbn, "edt_isbn"},
        {edt_tage, "edt_tage"},
        {lbl_ende, "lbl_ende"},
        {dat_ende, "dat_ende"},
        {btn_quitung, "btn_quitung"},
        {btn_heute, "btn_heute"},
        {btn_drei, "btn_drei"},
        {btn_sechs, "btn_sechs"},
        {neun, "neun"},
        {lbl_tage, "lbl_tage"},
    };
    for (const auto& [widget, name] : names)
        widget->setObjectName(QString::fromLatin1(name));

    // Keyboard order: the buttons below the pages, then each page's controls.
    QWidget* const order[] = {btn_ok,          btn_cansle,
                              btn_help,        tab_medium,
                              edt_pk,          edt_name,
                              edt_autor,       edt_jahr,
                              mem_stichwort,   cbo_standort,
                              btn_eingabe_ort, cbo_typ,
                              cbo_kategorie,   btn_eingabe_typ,
                              btn_eingabe_kat, edt_isbn,
                              mem_beschrieb,   edt_auslei,
                              dat_datum,       edt_tage,
                              dat_ende,        btn_quitung,
                              btn_heute,       btn_drei,
                              btn_sechs,       neun};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void Tfrm_medium::bind()
{
    for (QWidget* w : {static_cast<QWidget*>(edt_name), static_cast<QWidget*>(edt_autor),
                       static_cast<QWidget*>(edt_jahr), static_cast<QWidget*>(mem_stichwort),
                       static_cast<QWidget*>(edt_auslei), static_cast<QWidget*>(dat_datum),
                       static_cast<QWidget*>(edt_tage)})
        w->installEventFilter(this);
    // A click into the date's text lands on the field inside the picker.
    if (auto* dateText = dat_datum->findChild<QLineEdit*>())
        dateText->installEventFilter(this);
    // Typing a borrower where a page change put the focus enters the field all the same.
    Bind(edt_auslei, &QLineEdit::textEdited, [this] { edt_ausleiEnter(edt_auslei); });

    // A selection list changes when an entry is picked or its text is edited.
    const std::pair<QComboBox*, void (Tfrm_medium::*)(QObject*)> lists[] = {
        {cbo_standort, &Tfrm_medium::cbo_standortChange},
        {cbo_typ, &Tfrm_medium::cbo_typChange},
        {cbo_kategorie, &Tfrm_medium::cbo_kategorieChange},
    };
    for (const auto& [list, handler] : lists) {
        QComboBox* sender = list;
        auto change = [this, sender, handler = handler] { (this->*handler)(sender); };
        Bind(list, &QComboBox::currentIndexChanged, change);
        Bind(list, &QComboBox::editTextChanged, change);
    }
    Bind(mem_beschrieb, &QPlainTextEdit::textChanged,
         [this] { mem_beschriebChange(mem_beschrieb); });
    Bind(edt_tage, &QLineEdit::textChanged, [this] { edt_tageChange(edt_tage); });

    const std::pair<QPushButton*, void (Tfrm_medium::*)(QObject*)> clicks[] = {
        {btn_eingabe_ort, &Tfrm_medium::btn_eingabe_ortClick},
        {btn_eingabe_typ, &Tfrm_medium::btn_eingabe_typClick},
        {btn_eingabe_kat, &Tfrm_medium::btn_eingabe_katClick},
        {btn_drei, &Tfrm_medium::btn_dreiClick},
        {btn_sechs, &Tfrm_medium::btn_sechsClick},
        {neun, &Tfrm_medium::neunClick},
        {btn_heute, &Tfrm_medium::btn_heuteClick},
        {btn_quitung, &Tfrm_medium::btn_quitungClick},
    };
    for (const auto& [b, handler] : clicks) {
        QPushButton* sender = b;
        Bind(b, &QPushButton::clicked,
             [this, sender, handler = handler] { (this->*handler)(sender); });
    }

    Bind(btn_ok, &QPushButton::clicked, [this] {
        // Enter presses OK while the focus is still in a field. What was typed there must count
        // as a change, as it would have after a click on OK, or it is lost.
        QWidget* field = focusWidget();
        const auto* line = qobject_cast<QLineEdit*>(field);
        const auto* text = qobject_cast<QPlainTextEdit*>(field);
        if ((line && line->isModified()) || (text && text->document()->isModified())) {
            QFocusEvent leave(QEvent::FocusOut, Qt::OtherFocusReason);
            eventFilter(field, &leave);
        }
        if (!check_input())
            return;
        if (on_save)
            on_save();
        done(mrOk);
    });
    Bind(btn_cansle, &QPushButton::clicked, [this] { done(mrCancel); });
    // The help button has no context of its own: the window's is asked for.
    Bind(btn_help, &QPushButton::clicked, [this] {
        if (Application)
            Application->HelpContext(GetHelpContext(this));
    });
}

void Tfrm_medium::start_in()
{
    edt_auslei->setReadOnly(true);
    dat_datum->setEnabled(false);
    edt_tage->setReadOnly(true);
    dat_ende->setEnabled(false);
    for (QComboBox* list : {cbo_typ, cbo_kategorie, cbo_standort})
        if (list->count() > 0)
            list->setCurrentIndex(0);
    start_update();
}

void Tfrm_medium::start_update()
{
    edt_name->clear();
    edt_autor->clear();
    edt_jahr->clear();
    mem_beschrieb->clear();
    mem_stichwort->clear();
    tab_medium->setCurrentWidget(tab_titel);
}

int Tfrm_medium::ShowModal()
{
    return exec() == mrOk ? mrOk : mrCancel;
}

void Tfrm_medium::reject()
{
    done(mrCancel);
}

bool Tfrm_medium::eventFilter(QObject* watched, QEvent* event)
{
    // The user goes into the borrower field or the loan date by moving the focus there
    // (click, Tab, Backtab, a shortcut) or by clicking into it while it has the focus
    // already. Showing the page "Ausgeliehen" hands the focus to its first field by itself:
    // that is no entering, or a look at the loan would store it.
    const auto enter = [&] {
        if (watched == edt_auslei)
            edt_ausleiEnter(watched);
        else if (watched == dat_datum || dat_datum->isAncestorOf(qobject_cast<QWidget*>(watched)))
            dat_datumEnter(dat_datum);
    };
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress) {
        Guard(watched, enter);
        return QDialog::eventFilter(watched, event);
    }
    if (type != QEvent::FocusIn && type != QEvent::FocusOut)
        return QDialog::eventFilter(watched, event);
    // The focus that goes to a pop-up or another window and comes back never left the
    // control as far as this window is concerned.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
        return QDialog::eventFilter(watched, event);
    const bool moved = reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
                       reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
    Guard(watched, [&] {
        if (type == QEvent::FocusOut) {
            if (watched == edt_name)
                edt_nameExit(watched);
            else if (watched == edt_autor)
                edt_autorExit(watched);
            else if (watched == edt_jahr)
                edt_jahrExit(watched);
            else if (watched == mem_stichwort)
                mem_stichwortExit(watched);
            else if (watched == edt_tage)
                edt_tageExit(watched);
        } else if (moved) {
            enter();
        }
    });
    return QDialog::eventFilter(watched, event);
}

void Tfrm_medium::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Guard(this, [this] { FormShow(this); });
}

void Tfrm_medium::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    // The page control keeps its height and spans the window's width.
    tab_medium->setGeometry(0, 0, width(), tab_medium->height());
}

void Tfrm_medium::FormCreate(QObject*)
{
    auto db = std::make_unique<Db_access>();
    try {
        fill(cbo_typ, db->get_typ(typ_keys));
        fill(cbo_kategorie, db->get_kategorie(kategorie_keys));
        fill(cbo_standort, db->get_standort(standort_keys));
    } catch (const Exception& e) {
        db.reset();
        MessageDlg(e.Message + QString::fromUtf8(". Comboboxen können nicht aufgebaut werden."),
                   mtError, {mbOK}, 0);
    }
}

void Tfrm_medium::FormShow(QObject*)
{
    edt_name->setFocus();
    data_changed = false;
    keywords_changed = false;
    loan_changed = false;
    dat_datum->SetDate(Today());
}

void Tfrm_medium::edt_nameExit(QObject*)
{
    data_changed = true;
}

void Tfrm_medium::edt_autorExit(QObject*)
{
    data_changed = true;
}

void Tfrm_medium::edt_jahrExit(QObject*)
{
    data_changed = true;
}

void Tfrm_medium::cbo_standortChange(QObject*)
{
    data_changed = true;
}

void Tfrm_medium::cbo_typChange(QObject*)
{
    data_changed = true;
}

void Tfrm_medium::cbo_kategorieChange(QObject*)
{
    data_changed = true;
}

void Tfrm_medium::mem_beschriebChange(QObject*)
{
    data_changed = true;
}

void Tfrm_medium::mem_stichwortExit(QObject*)
{
    keywords_changed = true;
}

void Tfrm_medium::edt_ausleiEnter(QObject*)
{
    loan_changed = true;
}

void Tfrm_medium::dat_datumEnter(QObject*)
{
    loan_changed = true;
}

void Tfrm_medium::edt_tageChange(QObject*)
{
    // While the user types, a text that is no whole number yet (an emptied field, a lone
    // sign) is no fault: the return date keeps its value until the period can be used.
    try {
        compute_return();
    } catch (const Exception&) {
    }
}

void Tfrm_medium::edt_tageExit(QObject*)
{
    // Where the focus goes decides: OK and "Heute" check the period themselves, Abbrechen and
    // Hilfe do not use it, and neither OK's own checks nor the window's closing leave it.
    QWidget* next = QApplication::focusWidget();
    if (checking || !next || next == edt_tage || !isAncestorOf(next))
        return;
    for (QWidget* own : {static_cast<QWidget*>(btn_ok), static_cast<QWidget*>(btn_heute),
                         static_cast<QWidget*>(btn_cansle), static_cast<QWidget*>(btn_help)})
        if (next == own)
            return;
    // The focus moves before the click that moved it is done: a message box now would swallow
    // the click. The period is checked once the click has taken effect, as it is then; a period
    // button that was clicked has replaced it by then.
    QTimer::singleShot(0, this, [this] { check_left_period(); });
}

void Tfrm_medium::check_left_period()
{
    if (QGuiApplication::mouseButtons() != Qt::NoButton) {
        QTimer::singleShot(20, this, [this] { check_left_period(); });
        return;
    }
    if (isVisible() && !checking)
        check_period();
}

// The return date: the loan date plus the period. Raises where the period is no whole number
// or the return date lies beyond what the date field takes.
void Tfrm_medium::compute_return()
{
    const int days = StrToInt(edt_tage->text());
    dat_ende->SetDate(TDateTime(dat_datum->GetDate().Val + days));
}

// Computes the return date where the period allows it; otherwise the message that says why
// the period cannot be used. In new mode the period is locked and the loan not stored: there
// is nothing the user could mend, and no message.
String Tfrm_medium::period_fault()
{
    try {
        compute_return();
    } catch (const Exception& e) {
        if (!edt_tage->isReadOnly())
            return e.Message + QString::fromUtf8(kOnlyWhole);
    }
    return String();
}

bool Tfrm_medium::check_period()
{
    const String fault = period_fault();
    if (fault.isEmpty())
        return true;
    MessageDlg(fault, mtError, {mbOK}, 0);
    return false;
}

std::vector<AnsiString> Tfrm_medium::keywords() const
{
    return keyword_set(lines_of(mem_stichwort));
}

bool Tfrm_medium::check_input()
{
    const QScopedValueRollback<bool> busy(checking, true);
    // In the order of the pages and of their fields.
    const bool fields =
        check_text(edt_name, edt_name->text(), "Titel") &&
        check_text(edt_autor, edt_autor->text(), "Autor") &&
        check_text(edt_jahr, edt_jahr->text(), "Jahr") && check_keywords() &&
        check_list(cbo_standort, "kein Standort", "einen Standort", "neuen Standort") &&
        check_list(cbo_typ, "kein Typ", "einen Typ", "neuen Typ") &&
        check_list(cbo_kategorie, "keine Kategorie", "eine Kategorie", "neue Kategorie") &&
        check_text(edt_isbn, edt_isbn->text(), "ISBN-Nummer") &&
        check_text(mem_beschrieb, mem_beschrieb->toPlainText(), "Beschreibung") &&
        check_text(edt_auslei, edt_auslei->text(), "Ausgeliehen an");
    if (!fields)
        return false;
    const String fault = period_fault();
    return fault.isEmpty() || refuse(edt_tage, fault);
}

// Characters beyond code page 1252 would be stored as question marks.
bool Tfrm_medium::check_text(QWidget* field, const String& text, const char* caption)
{
    const QStringList missing = NotInCp1252(text);
    if (missing.isEmpty())
        return true;
    // A pasted text in another script would fill the box: the first few stand for the rest.
    const int shown = 10;
    QStringList names;
    for (const String& character : missing.mid(0, shown))
        names << named(character);
    String list = names.join(QStringLiteral(", "));
    if (missing.size() > shown)
        list += QStringLiteral(" und weitere");
    return refuse(field, QString::fromUtf8("Das Feld „%1“ enthält Zeichen, die der Katalog nicht "
                                           "speichern kann: %2. Der Katalog speichert nur die "
                                           "Zeichen westeuropäischer Sprachen (Zeichensatz "
                                           "Windows-1252); bitte entfernen oder ersetzen Sie "
                                           "diese Zeichen.")
                             .arg(QString::fromUtf8(caption), list));
}

bool Tfrm_medium::check_keywords()
{
    if (!check_text(mem_stichwort, mem_stichwort->toPlainText(), "Stichworte"))
        return false;
    try {
        check_keyword_lengths(keywords());
    } catch (const Exception& e) {
        return refuse(mem_stichwort, e.Message);
    }
    return true;
}

// The list's text must be one of its entries, compared as the list itself compares when the
// user leaves it: the same text, else the same but for letter case. The words name what the
// list holds: "kein Typ", "einen Typ", "neuen Typ".
bool Tfrm_medium::check_list(QComboBox* list, const char* none, const char* one, const char* newOne)
{
    const String text = list->currentText();
    const int index = list->currentIndex();
    if (index >= 0 && list->itemText(index) == text)
        return true;
    int found = list->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found < 0)
        found = list->findText(text, Qt::MatchFixedString);
    if (found >= 0) {
        // The text stands for the entry: a text the user typed has marked the change already,
        // the name loaded with the medium is no change.
        const QSignalBlocker quiet(list);
        list->setCurrentIndex(found);
        list->setEditText(list->itemText(found));
        return true;
    }
    // One pass over the placeholders: a "%" in the typed text stays as it is.
    const String kind[] = {QString::fromUtf8(none), QString::fromUtf8(one),
                           QString::fromUtf8(newOne)};
    if (text.isEmpty())
        return refuse(list, QString::fromUtf8("Es ist %1 gewählt. Wählen Sie %2 aus der Liste, "
                                              "oder tippen Sie einen Namen ein und legen Sie ihn "
                                              "mit der grünen Plus-Schaltfläche rechts neben der "
                                              "Liste als %3 an.")
                                .arg(kind[0], kind[1], kind[2]));
    return refuse(list, QString::fromUtf8("„%1“ ist %2 der Liste. Wählen Sie %3 aus der Liste, "
                                          "oder legen Sie „%1“ mit der grünen Plus-Schaltfläche "
                                          "rechts neben der Liste als %4 an.")
                            .arg(text, kind[0], kind[1], kind[2]));
}

// Brings the field's page to the front, puts the focus on the field and shows the message.
bool Tfrm_medium::refuse(QWidget* field, const String& message)
{
    for (QWidget* page : {tab_titel, tab_beschrieb, tab_auslei})
        if (page->isAncestorOf(field))
            tab_medium->setCurrentWidget(page);
    field->setFocus(Qt::OtherFocusReason);
    if (auto* list = qobject_cast<QComboBox*>(field))
        list->lineEdit()->selectAll();
    MessageDlg(message, mtError, {mbOK}, 0);
    return false;
}

void Tfrm_medium::add_entry(
    QComboBox* list, std::vector<int>& keys,
    const std::function<int(Db_access&, const AnsiString&)>& put,
    const std::function<std::vector<AnsiString>(Db_access&, std::vector<int>&)>& read,
    const String& message)
{
    auto db = std::make_unique<Db_access>();
    const AnsiString text(list->currentText());
    put(*db, text);
    db->db_stop();
    db->db_start();
    list->clear();
    list->clearEditText();
    keys.clear();
    const std::vector<AnsiString> names = read(*db, keys);
    int found = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        list->addItem(names[i].toString());
        if (names[i] == text)
            found = static_cast<int>(i);
    }
    // From no selection, so that selecting the entry always replaces the typed text.
    list->setCurrentIndex(-1);
    list->setEditText(text.toString());
    list->setCurrentIndex(found);
    MessageDlg(message, mtInformation, {mbOK}, 0);
}

void Tfrm_medium::btn_eingabe_ortClick(QObject*)
{
    add_entry(
        cbo_standort, standort_keys,
        [](Db_access& db, const AnsiString& t) { return db.put_ort(t); },
        [](Db_access& db, std::vector<int>& k) { return db.get_standort(k); },
        QStringLiteral("Standort wurde erfolgreich angefügt"));
}

void Tfrm_medium::btn_eingabe_typClick(QObject*)
{
    add_entry(
        cbo_typ, typ_keys, [](Db_access& db, const AnsiString& t) { return db.put_typ(t); },
        [](Db_access& db, std::vector<int>& k) { return db.get_typ(k); },
        QStringLiteral("Mediumtyp wurde erfolgreich angefügt"));
}

void Tfrm_medium::btn_eingabe_katClick(QObject*)
{
    add_entry(
        cbo_kategorie, kategorie_keys,
        [](Db_access& db, const AnsiString& t) { return db.put_kat(t); },
        [](Db_access& db, std::vector<int>& k) { return db.get_kategorie(k); },
        QStringLiteral("Kategorie wurde erfolgreich angefügt"));
}

void Tfrm_medium::set_period(int days)
{
    const String text = QString::asprintf("%i", days);
    // An unchanged text raises no change event and computes nothing.
    if (edt_tage->text() != text) {
        edt_tage->setText(text);
        check_period();
    }
}

void Tfrm_medium::btn_dreiClick(QObject*)
{
    set_period(30);
}

void Tfrm_medium::btn_sechsClick(QObject*)
{
    set_period(60);
}

void Tfrm_medium::neunClick(QObject*)
{
    set_period(90);
}

void Tfrm_medium::btn_heuteClick(QObject*)
{
    dat_datum->SetDate(Today());
    check_period();
}

void Tfrm_medium::btn_quitungClick(QObject*)
{
    auto db = std::make_unique<Db_access>();
    const int key = StrToIntDef(edt_pk->text(), 0);
    if (key == 0)
        throw Exception(QString::fromUtf8("Daten müssen zuerst gespeichert werden"));
    db->up_leihen(key, AnsiString(edt_auslei->text()), dat_datum->GetDate(),
                  StrToIntDef(edt_tage->text(), 0));
    db->print_quitung(key);
}
