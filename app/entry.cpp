#include "app/entry.h"

#include "platform/rtl/sysutils.h"
#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "store/medium_db.h"
#include "ui/main_frm.h"

#include <memory>

int wWinMain()
{
    // The application owns the data module and the main window and frees them after the
    // loop; they outlive the failure boxes, which are shown over the main window.
    std::unique_ptr<TApplication> application;
    std::unique_ptr<Tdat_medium> module;
    std::unique_ptr<Tfrm_main> form;
    try {
        application = std::make_unique<TApplication>();
        Application->Initialize();
        Application->MainFormOnTaskBar = true;
        Application->Title = QStringLiteral("Kollektar");
        Application->HelpFile = QStringLiteral("kollektar_hilfe.chm");
        module = std::make_unique<Tdat_medium>(nullptr);
        dat_medium = module.get();
        form = std::make_unique<Tfrm_main>(nullptr);
        frm_main = form.get();
        Application->Run();
    } catch (const Exception& e) {
        MessageDlg(AddSentence(e.Message,
                               QStringLiteral(". Programm Kollektar kann nicht gestartet werden.")),
                   mtError, {mbOK}, 0);
    } catch (...) {
        const Exception e(QStringLiteral("Es ist ein nicht abgefangener Fehler aufgetreten"));
        MessageDlg(
            AddSentence(e.Message, QString::fromUtf8(". Programm Kollektar ist abgestürzt.")),
            mtError, {mbOK}, 0);
    }
    form.reset();
    frm_main = nullptr;
    module.reset();
    dat_medium = nullptr;
    return 0;
}
