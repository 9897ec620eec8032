#include "ui/db_frm.h"

#include "platform/rtl/stringlist.h"
#include "platform/vcl/application.h"
#include "platform/vcl/border_icons.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/labelededit.h"
#include "store/db_access.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include <memory>

Tfrm_db::Tfrm_db(QWidget* Owner)
    : QDialog(Owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frm_db"));
    setWindowTitle(QStringLiteral("Datenbank Anmeldung"));
    SetHelpContext(this, 111);
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    setFont(font);
    setFixedSize(315, 332);

    edt_user = labelled("edt_user", "Benutzer  ", 16);
    edt_pwd = labelled("edt_pwd", "Passwort ", 43);
    edt_pwd->setEchoMode(QLineEdit::Password);
    edt_pwd->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    edt_schema = labelled("edt_schema", "Schema    ", 70);
    edt_server = labelled("edt_server", "Server     ", 97);

    mem_db = new QPlainTextEdit(this);
    mem_db->setObjectName(QStringLiteral("mem_db"));
    mem_db->setGeometry(16, 160, 281, 121);
    mem_db->setReadOnly(true);
    mem_db->setTabChangesFocus(true);

    btn_test = button("btn_test", QStringLiteral("Testen"), "DB Testen", 215, 124);
    btn_test->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    btn_ok = button("btn_ok", QStringLiteral("OK"), "OK", 16, 294);
    btn_ok->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    btn_ok->setDefault(true);
    btn_ok->setEnabled(false);
    btn_abbrechen = button("btn_abbrechen", QStringLiteral("Abbrechen"), "Abbrechen", 115, 294);
    btn_abbrechen->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
    btn_hilfe = button("btn_hilfe", QStringLiteral("&Hilfe"), "Hilfe", 215, 294);
    btn_hilfe->setIcon(style()->standardIcon(QStyle::SP_DialogHelpButton));

    QWidget* order[] = {edt_user, edt_pwd, edt_schema,    edt_server, mem_db,
                        btn_test, btn_ok,  btn_abbrechen, btn_hilfe};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // A button of kind Retry sets the result before its click handler runs; the dialog's
    // close handler then keeps it open.
    connect(btn_test, &QPushButton::clicked, this, [this] {
        modal_result_ = mrRetry;
        Guard(btn_test, [this] { btn_testClick(btn_test); });
        close_by_result();
    });
    connect(btn_ok, &QPushButton::clicked, this, [this] { SetModalResult(mrOk); });
    connect(btn_abbrechen, &QPushButton::clicked, this, [this] { SetModalResult(mrCancel); });
    // A button of kind Help asks for the context of the nearest control that has one.
    connect(btn_hilfe, &QPushButton::clicked, this, [this] {
        for (QWidget* w = btn_hilfe; w; w = w->parentWidget())
            if (const int context = GetHelpContext(w)) {
                Application->HelpContext(context);
                return;
            }
    });
}

TLabeledEdit* Tfrm_db::labelled(const char* name, const char* label, int top)
{
    auto* edit = new TLabeledEdit(QString::fromLatin1(label), this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->EditLabel->setObjectName(QString::fromLatin1(name) + QStringLiteral("_label"));
    edit->setGeometry(72, top, 225, 21);
    edit->SetLabelPosition(lpLeft);
    return edit;
}

QPushButton* Tfrm_db::button(const char* name, const QString& caption, const char* hint, int left,
                             int top)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, top, 82, 25);
    SetHint(b, QString::fromLatin1(hint));
    return b;
}

int Tfrm_db::ShowModal()
{
    modal_result_ = mrNone;
    exec();
    return modal_result_;
}

void Tfrm_db::SetModalResult(int result)
{
    modal_result_ = result;
    if (result != mrNone)
        close_by_result();
}

void Tfrm_db::close_by_result()
{
    TCloseAction action = caHide;
    Guard(this, [&] { FormClose(this, action); });
    if (action == caNone) {
        modal_result_ = mrNone;
        return;
    }
    QDialog::done(modal_result_);
}

// The title bar has no border icons; the flags say so to Qt, the hints to the window manager.
void Tfrm_db::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    SetNoBorderIcons(this);
}

// Escape and the window's close request cancel, as the Cancel button does.
void Tfrm_db::reject()
{
    SetModalResult(mrCancel);
}

void Tfrm_db::btn_testClick(QObject*)
{
    auto db = std::make_unique<Db_access>();
    try {
        db->db_stop();
        db->db_open(AnsiString(edt_user->text()), AnsiString(edt_pwd->text()),
                    AnsiString(edt_server->text()), AnsiString());
        const String name = edt_schema->text();
        const AnsiString schema(name);
        mem_db->clear();
        // A schema needs a name, and one that survives the 8-bit code page of the tables:
        // another would be created under a name of question marks.
        if (name.isEmpty() || schema.toString() != name)
            throw Exception(QStringLiteral("Kein gültiger Schemaname"));
        if (!db->exist_schema(schema) &&
            MessageDlg(QStringLiteral("Datanbank existiert nicht, soll sie angelegt werden?"),
                       mtConfirmation, {mbYes, mbNo}, 0) == mrYes) {
            db->create_db(schema);
            db->db_stop();
            db->db_open(AnsiString(edt_user->text()), AnsiString(edt_pwd->text()),
                        AnsiString(edt_server->text()), schema);
        }
        const std::unique_ptr<TStringList> facts(db->get_system());
        mem_db->setPlainText(facts->lines().join(u'\n'));
        btn_ok->setEnabled(true);
    } catch (const Exception&) {
        mem_db->appendPlainText(QString::fromUtf8("Anmeldung an die Datenbank ist nicht möglich!"));
        btn_ok->setEnabled(false);
    }
}

void Tfrm_db::FormClose(QObject*, TCloseAction& Action)
{
    if (modal_result_ == mrRetry)
        Action = caNone;
}
