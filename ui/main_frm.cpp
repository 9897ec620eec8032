// The main window: layout, creation, show and close, the list, hints, the frame's error and
// help handlers and the close, print and PDF commands.
#include "ui/main_frm.h"

#include "platform/rtl/fileutil.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/actions.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/header_control.h"
#include "platform/vcl/image_list.h"
#include "platform/vcl/ribbon.h"
#include "platform/vcl/statusbar.h"
#include "platform/vcl/string_grid.h"
#include "store/db_access.h"
#include "ui/help_file.h"
#include "ui/logon_file.h"
#include "ui/main_frm_images.h"

#include <QCloseEvent>
#include <QMenu>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <QWindow>

Tfrm_main* frm_main = nullptr;

namespace {

QFont tahoma()
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    return font;
}

// The help viewer is a program of its own, kept by its process: ending it closes the window
// "Kollektar Hilfe". One that the user closed already is only let go.
void closeHelpWindow(SHELLEXECUTEINFOW& info)
{
    EndProcess(info.hProcess);
    info.hProcess = nullptr;
}

// One parameter for the viewer, blanks and quotes included.
String quoted(String text)
{
    const QLatin1Char mark('"');
    return mark + text.replace(mark, QStringLiteral("\"\"\"")) + mark;
}

} // namespace

Tfrm_main::Tfrm_main(QWidget* Owner) : QMainWindow(Owner)
{
    setObjectName(QStringLiteral("frm_main"));
    if (Application && !Application->MainForm)
        Application->MainForm = this;
    build_layout();
    build_ribbon();
    connect_handlers();
    Guard(this, [this] { FormCreate(this); });
}

Tfrm_main::~Tfrm_main()
{
    closeHelpWindow(help_info);
    // No hint reaches a window whose parts are going.
    ape_main->OnHint = nullptr;
    if (Application) {
        if (handlers_installed_) {
            Application->OnException = nullptr;
            Application->OnHelp = nullptr;
        }
        if (Application->MainForm == this)
            Application->MainForm = nullptr;
    }
}

void Tfrm_main::build_layout()
{
    setWindowTitle(QStringLiteral("Kollektar"));
    setFont(tahoma());
    SetHelpContext(this, 102);
    resize(909, 635);

    iml_medium = new TImageList(this, 16, 16);
    fill_main_images(*iml_medium);

    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    setCentralWidget(client);

    stab_kollektar = new TStatusBar(QStringLiteral("stab_kollektar"), client);
    stab_kollektar->setFixedHeight(19);
    SetHelpContext(stab_kollektar, 102);
    stab_kollektar->AddPanel(300);
    stab_kollektar->AddPanel(200);

    hec_main = new THeaderControl(QStringLiteral("hec_main"), client);
    hec_main->setFixedHeight(17);
    SetHelpContext(hec_main, 102);
    SetHint(hec_main, QStringLiteral("Sortieren|Spaltenbreite bestimmen oder sortieren"));
    const std::pair<const char*, int> sections[] = {{"ID", 50},     {"Titel", 400},
                                                    {"Autor", 100}, {"Standort", 100},
                                                    {"Typ", 60},    {"Kategorie", 100}};
    for (const auto& [text, width] : sections)
        hec_main->AddSection(QString::fromLatin1(text), width);

    strg_main = new TStringGrid(QStringLiteral("strg_main"), client);
    SetHelpContext(strg_main, 102);
    strg_main->SetColCount(6);
    strg_main->SetRowCount(1);
    strg_main->SetFixedCols(1);
    // The grid's columns follow the header from the start, also when the stored widths
    // never come.
    grid_follows_header();
    // The key column stays when the list scrolls sideways, and the captions go with the list.
    hec_main->SetFixedSections(strg_main->FixedCols());
    connect(strg_main, &TStringGrid::HorizontalScroll, hec_main, &THeaderControl::ScrollSections);

    rib_main = new TRibbon(QStringLiteral("rib_main"), client);
    rib_main->setFixedHeight(143);

    layout->addWidget(rib_main);
    layout->addWidget(hec_main);
    layout->addWidget(strg_main, 1);
    layout->addWidget(stab_kollektar);

    ape_main = new TApplicationEvents(this);
    ape_main->setObjectName(QStringLiteral("ape_main"));
}

void Tfrm_main::build_ribbon()
{
    acm_main = new TActionManager(this);
    acm_main->setObjectName(QStringLiteral("acm_main"));
    acm_main->Style = QStringLiteral("Ribbon - Luna");
    acm_main->Images = iml_medium;
    auto add = [this](const char* name, const char* category, const char* caption, const char* hint,
                      int helpContext, int image) {
        return acm_main->Add(QString::fromLatin1(name), QString::fromLatin1(category),
                             QString::fromUtf8(caption), QString::fromUtf8(hint), helpContext,
                             image);
    };
    act_neu = add("act_neu", "Datei", "&Neu...", "Neu|Neuer Eintrag erstellen", 104, 0);
    act_offen =
        add("act_offen", "Datei", "&Bearbeiten...", "Bearbeiten|Eintrag bearbeiten", 105, 2);
    act_loeschen = add("act_loeschen", "Datei", "&Löschen...", "Löschen|Eintrag löschen", 106, 1);
    act_infoneu =
        add("act_infoneu", "Hilfe", "&Info...", "Info|Informationen über Kollektar", 112, 3);
    act_hilfe = add("act_hilfe", "Hilfe", "&Hilfe", "Hilfe|Hilfe zum Programm", 112, 4);
    act_typneu =
        add("act_typneu", "Extra", "&Mediumtyp...", "Medientyp|Medientypen verwalten", 103, 7);
    act_kat = add("act_kat", "Extra", "&Kategorie...", "Kategorie|Kategorieen verwalten", 103, 5);
    act_stand = add("act_stand", "Extra", "&Standort...", "Standorte|Standorte verwalten", 103, 6);
    act_close =
        add("act_close", "Datei", "&Kollektar Schliessen", "Beenden|Kollektar beenden", 0, 8);
    act_bank = add("act_bank", "Extra", "&Datenbank", "Datenbank|Datenbank verwalten", 111, 9);
    quick_neu = add("quick_neu", "Datei", "Neu", "Neu|Neues Medim anlgegen", 105, 11);
    quick_berbeiten =
        add("quick_berbeiten", "Datei", "Bearbeiten", "Bearbeiten|Medium bearbeiten", 105, 12);
    act_suchen = add("act_suchen", "Datei", "Suchen", "Suchen|Suche ein Eintrag", 107, 13);
    act_quick_such =
        add("act_quick_such", "Datei", "Suchen", "Suchen|Suche einen Eintrag", 107, 14);
    act_worte_such = add("act_worte_such", "Extra", "Stichwortsuche",
                         "Stichwortsuche|Stichworte durchsuchen", 108, 15);
    act_print = add("act_print", "Extra", "Drucken", "Drucken|Inventar Drucken", 109, 16);
    act_pdf =
        add("act_pdf", "Extra", "PDF-Inventar", "Drucke PDF|Drucke ein PDF-Inventar", 109, 17);
    act_pdf->HelpType = htKeyword;

    rib_main->SetCaption(QStringLiteral("Kollektar"));
    SetHint(rib_main, QStringLiteral("Kollektar bedienen"));
    rib_daten = rib_main->AddPage(QStringLiteral("rib_daten"), QStringLiteral("Daten"));
    rib_extra = rib_main->AddPage(QStringLiteral("rib_extra"), QStringLiteral("Extra"));
    rib_help = rib_main->AddPage(QStringLiteral("rib_help"), QStringLiteral("Hilfe"));

    grp_medien = rib_daten->AddGroup(QStringLiteral("grp_medien"), QStringLiteral("Medien"));
    grp_medien->AddItem(act_neu);
    grp_medien->AddItem(act_offen);
    grp_medien->AddItem(act_loeschen);
    grp_medien->AddItem(act_suchen, QStringLiteral("&Suchen"));

    grp_meta = rib_extra->AddGroup(QStringLiteral("grp_meta"), QStringLiteral("Metadaten"));
    grp_meta->AddItem(act_typneu);
    grp_meta->AddItem(act_kat);
    grp_meta->AddItem(act_stand);
    grp_bank = rib_extra->AddGroup(QStringLiteral("grp_bank"), QStringLiteral("Datenbank"));
    grp_bank->AddItem(act_worte_such, QStringLiteral("&Stichwortsuche"));
    grp_bank->AddItem(act_bank);
    rib_print = rib_extra->AddGroup(QStringLiteral("rib_print"), QStringLiteral("Drucken"));
    rib_print->AddItem(act_print, QStringLiteral("&Drucken"));
    rib_print->AddItem(act_pdf, QStringLiteral("&PDF-Inventar"));

    grp_help = rib_help->AddGroup(QStringLiteral("grp_help"), QStringLiteral("Hilfe"));
    grp_help->AddItem(act_hilfe);
    grp_help->AddItem(act_infoneu);
    rib_main->SetActivePage(rib_help);

    RibbonApplicationMenuBar1 = rib_main->ApplicationMenu();
    rib_main->ApplicationButton()->setIcon(main_application_icon());
    rib_main->ApplicationButton()->setToolTip(QStringLiteral("Kollektar Schliessen"));
    QMenu* entry = rib_main->AddApplicationMenuItem(QStringLiteral("&Kollektar Schliessen"),
                                                    iml_medium->Icon(8));
    entry->addAction(act_bank);
    entry->addAction(act_stand);
    entry->addAction(act_kat);
    entry->addAction(act_typneu);
    entry->addSeparator();
    entry->addAction(act_hilfe);
    rib_main->AddApplicationOption(act_close);
    rib_main->SetApplicationKeyTip(QStringLiteral("F"));

    RibbonQuickAccessToolbar1 = rib_main->QuickAccessToolbar();
    rib_main->AddQuickAccess(quick_neu, QStringLiteral("&Neu"));
    rib_main->AddQuickAccess(quick_berbeiten, QStringLiteral("&Bearbeiten"));
    rib_main->AddQuickAccess(act_quick_such, QStringLiteral("&Suchen"));
}

void Tfrm_main::connect_handlers()
{
    Bind(act_hilfe, &QAction::triggered, [this] { act_hilfeExecute(act_hilfe); });
    Bind(act_close, &QAction::triggered, [this] { act_closeExecute(act_close); });
    Bind(act_bank, &QAction::triggered, [this] { act_bankExecute(act_bank); });
    Bind(act_suchen, &QAction::triggered, [this] { act_suchenExecute(act_suchen); });
    Bind(act_quick_such, &QAction::triggered, [this] { act_quick_suchExecute(act_quick_such); });
    Bind(act_worte_such, &QAction::triggered, [this] { act_worte_suchExecute(act_worte_such); });
    Bind(act_print, &QAction::triggered, [this] { act_printExecute(act_print); });
    Bind(act_pdf, &QAction::triggered, [this] { act_pdfExecute(act_pdf); });
    Bind(rib_main, &TRibbon::HelpButtonClick, [this] { rib_mainHelpButtonClick(rib_main); });
    connect(hec_main, &THeaderControl::SectionResize, this,
            [this](THeaderControl* header, THeaderSection* section) {
                Guard(header, [&] { hec_mainSectionResize(header, section); });
            });
    connect(hec_main, &THeaderControl::SectionClick, this,
            [this](THeaderControl* header, THeaderSection* section) {
                Guard(header, [&] { hec_mainSectionClick(header, section); });
            });
    ape_main->OnHint = [this](QObject* sender) { ape_mainHint(sender); };

    Bind(act_neu, &QAction::triggered, [this] { act_neuExecute(act_neu); });
    Bind(act_offen, &QAction::triggered, [this] { act_offenExecute(act_offen); });
    Bind(act_loeschen, &QAction::triggered, [this] { act_loeschenExecute(act_loeschen); });
    Bind(quick_neu, &QAction::triggered, [this] { quick_neuExecute(quick_neu); });
    Bind(quick_berbeiten, &QAction::triggered, [this] { quick_berbeitenExecute(quick_berbeiten); });
    Bind(strg_main, &TStringGrid::DblClick, [this] { strg_mainDblClick(strg_main); });
    Bind(act_kat, &QAction::triggered, [this] { act_katExecute(act_kat); });
    Bind(act_typneu, &QAction::triggered, [this] { act_typneuExecute(act_typneu); });
    Bind(act_stand, &QAction::triggered, [this] { act_standExecute(act_stand); });
    Bind(act_infoneu, &QAction::triggered, [this] { act_infoneuExecute(act_infoneu); });
}

void Tfrm_main::FormCreate(QObject*)
{
    Application->OnException = [this](QObject* sender, const Exception& error) {
        AppException(sender, error);
    };
    handlers_installed_ = true;
    auto logon = std::make_unique<TStringList>();
    db_access = std::make_unique<Db_access>();
    Application->OnHelp = [this](quint16 command, qint64 data, bool& callHelp) {
        return AppHelp(command, data, callHelp);
    };
    help_info = SHELLEXECUTEINFOW();
    help_info.cbSize = 112;

    const String path = getpfad() + QStringLiteral("\\multimedia.dbs");
    if (FileExists(path)) {
        // It holds the password: whatever other accounts could do with it ends here.
        MakePrivate(path);
        load_logon(*logon, path);
        const AnsiString user = (*logon)[0];
        const AnsiString password = (*logon)[1];
        const AnsiString server = (*logon)[2];
        const AnsiString schema = (*logon)[3];
        db_access->db_open(user, password, server, schema);
        paint_grid();
        stab_kollektar->Panels(1)->SetText(schema.toString());
    } else {
        MessageDlg(QStringLiteral(
                       "Datenbankdaten existieren noch nicht. Legen Sie zuerst eine Datenbank an."),
                   mtInformation, {mbOK}, 0);
        act_bankExecute(this);
    }
}

void Tfrm_main::FormShow(QObject*)
{
    try {
        db_access->start_medlist();
        restore_state();
        rib_main->SetActivePage(rib_daten);
        ini_grid();
    } catch (const Exception& e) {
        throw Exception(AddSentence(
            e.Message,
            QString::fromUtf8(". App-Einstellungen können nicht rekonstruiert werden.")));
    }
}

void Tfrm_main::FormClose(QObject*, TCloseAction&)
{
    // A close that failed later on has released the gateway already; any gateway closes the
    // one connection.
    if (!db_access)
        db_access = std::make_unique<Db_access>();
    db_access->db_close();
    db_access.reset();
    store_state();
    closeHelpWindow(help_info);
}

void Tfrm_main::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) {
        Guard(this, [this] { FormShow(this); });
        if (!placed_.isValid())
            placed_ = frameGeometry();
        // Where the platform frames the window at once, no event may tell.
        QMetaObject::invokeMethod(this, &Tfrm_main::frame_arrived, Qt::QueuedConnection);
    }
}

void Tfrm_main::closeEvent(QCloseEvent* event)
{
    TCloseAction action = caHide;
    bool closed = false;
    Guard(this, [&] {
        FormClose(this, action);
        closed = true;
    });
    if (closed && action != caNone)
        event->accept();
    else
        event->ignore();
}

bool Tfrm_main::event(QEvent* event)
{
    const bool geometry = event->type() == QEvent::Move || event->type() == QEvent::Resize;
    if (geometry || event->type() == QEvent::WindowActivate)
        frame_arrived();
    const bool done = QMainWindow::event(event);
    if (geometry)
        note_normal();
    return done;
}

void Tfrm_main::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    // A window manager may tell the maximised frame before the state: a frame noted as
    // normal that fills the work area as the window turns maximised was not a normal one.
    if (event->type() != QEvent::WindowStateChange ||
        !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) ||
        !normal_before_.isValid() || normal_ != frameGeometry() || !screen())
        return;
    const QSize area = screen()->availableGeometry().size();
    if (normal_.width() >= area.width() && normal_.height() >= area.height())
        normal_ = normal_before_;
}

// The frame is known only once the window manager has framed the window: an outer geometry
// asked for before is applied then, so the frame stands exactly where it was stored and the
// window neither creeps nor grows from one start to the next. A window to be maximised is
// maximised from there, so that it returns to that frame.
void Tfrm_main::frame_arrived()
{
    if (placing_ || !isVisible() || !frame_known())
        return;
    if (!framed_) {
        framed_ = true;
        if (pending_outer_.isValid()) {
            const QRect outer = pending_outer_;
            pending_outer_ = QRect();
            placing_ = true;
            apply_outer(outer);
            placing_ = false;
        } else {
            placed_ = frameGeometry();
        }
        normal_ = placed_;
    }
    if (maximize_pending_) {
        maximize_pending_ = false;
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

void Tfrm_main::note_normal()
{
    if (!framed_ ||
        (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        return;
    const QRect now = frameGeometry();
    if (now != normal_) {
        normal_before_ = normal_;
        normal_ = now;
    }
}

void Tfrm_main::paint_grid()
{
    TStringList ids, titles, authors, locations, types, categories;
    db_access->get_MediumListe(ids, titles, authors, locations, types, categories);
    show_result(ids, titles, authors, locations, types, categories);
}

void Tfrm_main::show_result(const TStringList& ids, const TStringList& titles,
                            const TStringList& authors, const TStringList& locations,
                            const TStringList& types, const TStringList& categories)
{
    strg_main->SetRowCount(ids.Count());
    const TStringList* lists[] = {&ids, &titles, &authors, &locations, &types, &categories};
    for (int i = 0; i < 6; ++i)
        strg_main->SetCol(i, *lists[i]);
}

void Tfrm_main::ini_grid()
{
    for (int i = 0; i < 6; ++i)
        hec_main->Sections(i)->SetWidth(column_width[i]);
    grid_follows_header();
}

void Tfrm_main::grid_follows_header()
{
    for (int i = 0; i < 6; ++i)
        strg_main->SetColWidths(i, hec_main->Sections(i)->Width() - 1);
}

void Tfrm_main::hec_mainSectionResize(THeaderControl*, THeaderSection* Section)
{
    if (Section && Section->Index >= 0 && Section->Index < 6)
        resized_[Section->Index] = true;
    for (int i = 0; i < 6; ++i)
        column_width[i] = hec_main->Sections(i)->Width();
    grid_follows_header();
}

void Tfrm_main::ape_mainHint(QObject*)
{
    stab_kollektar->Panels(0)->SetText(Application->Hint);
}

void Tfrm_main::act_closeExecute(QObject*)
{
    close();
}

void Tfrm_main::act_printExecute(QObject*)
{
    db_access->print_infentar(false);
}

void Tfrm_main::act_pdfExecute(QObject*)
{
    db_access->print_infentar(true);
}

void Tfrm_main::AppException(QObject*, const Exception& E)
{
    MessageDlg(
        AddSentence(E.Message, QStringLiteral(". Es ist ein schwerer Ausnahmefehler aufgetreten.")),
        mtError, {mbOK}, 0);
}

bool Tfrm_main::AppHelp(quint16 Command, qint64 Data, bool& CallHelp)
{
    closeHelpWindow(help_info);
    // Without a help file there is nothing to show, and nothing is said.
    const String collection = help_collection(ExtractFilePath(Application->ExeName()));
    if (!collection.isEmpty()) {
        check_help_copy(collection);
        String parameters = QStringLiteral("-collectionFile ") + quoted(collection);
        const String topic = help_topic(collection, Command, Data);
        if (!topic.isEmpty())
            parameters += QStringLiteral(" -showUrl ") + quoted(topic);
        parameters += QStringLiteral(" -hide bookmarks -qwindowgeometry 900x700");
        help_info.fMask = SEE_MASK_NOCLOSEPROCESS;
        help_info.hwnd = this;
        help_info.lpVerb = QStringLiteral("open");
        help_info.lpFile = QStringLiteral("assistant");
        help_info.lpParameters = parameters;
        help_info.nShow = SW_SHOWNORMAL;
        ShellExecuteExW(&help_info);
    }
    CallHelp = false;
    return false;
}

void Tfrm_main::act_hilfeExecute(QObject*)
{
    Application->HelpContext(101);
}

void Tfrm_main::rib_mainHelpButtonClick(QObject*)
{
    Application->HelpContext(102);
}
