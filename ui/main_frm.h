#pragma once

#include "platform/rtl/ansistring.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/shell.h"

#include <QMainWindow>
#include <QRect>

#include <memory>
#include <optional>

class Db_access;
class Exception;
class QMenu;
class TAction;
class TActionManager;
class TApplicationEvents;
class THeaderControl;
class THeaderSection;
class TImageList;
class TRibbon;
class TRibbonGroup;
class TRibbonPage;
class TStatusBar;
class TStringGrid;
class TStringList;

// The main window: the ribbon with every command, the media list under its header, the
// status bar; the application-wide error and help handlers; the window's settings.
class Tfrm_main : public QMainWindow {
    Q_OBJECT
public:
    explicit Tfrm_main(QWidget* Owner);
    ~Tfrm_main() override;

    TImageList* iml_medium;
    TStatusBar* stab_kollektar;
    THeaderControl* hec_main;
    TStringGrid* strg_main;
    TActionManager* acm_main;
    TAction* act_neu;
    TAction* act_offen;
    TAction* act_loeschen;
    TAction* act_infoneu;
    TAction* act_hilfe;
    TAction* act_typneu;
    TAction* act_kat;
    TAction* act_stand;
    TRibbon* rib_main;
    QMenu* RibbonApplicationMenuBar1;
    QWidget* RibbonQuickAccessToolbar1;
    TRibbonPage* rib_daten;
    TRibbonPage* rib_extra;
    TRibbonPage* rib_help;
    TRibbonGroup* grp_medien;
    TRibbonGroup* grp_meta;
    TRibbonGroup* grp_help;
    TAction* act_close;
    TRibbonGroup* grp_bank;
    TAction* act_bank;
    TApplicationEvents* ape_main;
    TAction* quick_neu;
    TAction* quick_berbeiten;
    TAction* act_suchen;
    TAction* act_quick_such;
    TAction* act_worte_such;
    TAction* act_print;
    TRibbonGroup* rib_print;
    TAction* act_pdf;

    // The window's gateway to the store, from the creation handler to the close handler.
    std::unique_ptr<Db_access> db_access;
    // Widths of the header sections "ID" .. "Kategorie".
    int column_width[6] = {};
    SHELLEXECUTEINFOW help_info;

    void FormCreate(QObject* Sender);
    void FormShow(QObject* Sender);
    void FormClose(QObject* Sender, TCloseAction& Action);

    // Reads the whole catalogue in title order into the grid.
    void paint_grid();
    // Gives the header sections the widths of column_width and the grid columns one pixel
    // less.
    void ini_grid();
    void hec_mainSectionResize(THeaderControl* HeaderControl, THeaderSection* Section);
    void ape_mainHint(QObject* Sender);
    void act_closeExecute(QObject* Sender);
    void act_printExecute(QObject* Sender);
    void act_pdfExecute(QObject* Sender);

    // The folder of the logon file, and a path with every backslash doubled.
    String getpfad();
    String pfad(String path);

    void AppException(QObject* Sender, const Exception& E);
    bool AppHelp(quint16 Command, qint64 Data, bool& CallHelp);
    void act_hilfeExecute(QObject* Sender);
    void rib_mainHelpButtonClick(QObject* Sender);

    void act_bankExecute(QObject* Sender);

    void hec_mainSectionClick(THeaderControl* HeaderControl, THeaderSection* Section);
    void act_suchenExecute(QObject* Sender);
    void act_quick_suchExecute(QObject* Sender);
    void act_worte_suchExecute(QObject* Sender);

    // The media commands and the master-data and info commands.
    void act_neuExecute(QObject* Sender);
    void act_offenExecute(QObject* Sender);
    void act_loeschenExecute(QObject* Sender);
    void quick_neuExecute(QObject* Sender);
    void quick_berbeitenExecute(QObject* Sender);
    void strg_mainDblClick(QObject* Sender);
    void act_katExecute(QObject* Sender);
    void act_typneuExecute(QObject* Sender);
    void act_standExecute(QObject* Sender);
    void act_infoneuExecute(QObject* Sender);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void build_layout();
    void build_ribbon();
    void connect_handlers();

    // The six result lists into the grid, row r of column i showing entry r of list i.
    void show_result(const TStringList& ids, const TStringList& titles, const TStringList& authors,
                     const TStringList& locations, const TStringList& types,
                     const TStringList& categories);

    // The grid columns as wide as the header sections, one pixel less.
    void grid_follows_header();

    void restore_state();
    void store_state();
    // Puts the window's outer frame at the given edges and size, the parts not given kept,
    // brought onto the available screen with a usable size.
    struct Outer {
        std::optional<int> top, left, width, height;
    };
    void place(const Outer& outer);
    void apply_outer(const QRect& outer);
    bool frame_known() const;
    void frame_arrived();
    // Notes the frame as the normal one while the window is neither maximised nor minimised.
    void note_normal();
    // Maximises the window once the window manager has framed it at its normal frame.
    void maximize_once_framed();

    // An outer geometry asked for before the window manager framed the window, applied once
    // it has.
    QRect pending_outer_;
    bool framed_ = false;
    bool placing_ = false;
    // Where this start put the window (or the window manager did): a frame elsewhere at the
    // close was moved or sized by the user.
    QRect placed_;
    // The outer frame of the window as it was last seen normal (neither maximised nor
    // minimised), and the one before: what a maximised window returns to.
    QRect normal_;
    QRect normal_before_;
    // The stored state asked for a maximised window, which it becomes once it is framed.
    bool start_maximized_ = false;
    bool maximize_pending_ = false;
    // Which of the eleven stored values this run took, and which columns the user resized.
    bool taken_[11] = {};
    bool resized_[6] = {};
    bool handlers_installed_ = false;
};

// The direction of the last sort, for the whole program.
extern bool sort_descending;

extern Tfrm_main* frm_main;
