#include "ui/master_dlg.h"

#include "platform/vcl/application.h"
#include "platform/vcl/dbgrid.h"
#include "platform/vcl/dbnavigator.h"
#include "platform/vcl/dialogs.h"
#include "store/medium_db.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>

namespace {

constexpr int kHelpContext = 103;
constexpr int kNavigatorHeight = 25;

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    QStyle::StandardPixmap glyph, const QPoint& at, const QString& hint)
{
    auto* b = new QPushButton(parent->style()->standardIcon(glyph), caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(at.x(), at.y(), 75, 25);
    SetHint(b, hint);
    return b;
}

} // namespace

MasterDlg::MasterDlg(QWidget* owner, const Layout& layout)
    : TNoCancelDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                 Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      layout_(layout), navigator_(new TDBNavigator(this)), grid_(new TDBGrid(this)),
      close_(button(this, layout.closeButton, QString::fromUtf8("&Schließen"),
                    QStyle::SP_DialogCloseButton, layout.closeAt, QStringLiteral("Schliessen"))),
      help_(button(this, "btn_help", QStringLiteral("&Hilfe"), QStyle::SP_DialogHelpButton,
                   layout.helpAt, QStringLiteral("Hilfe")))
{
    setWindowTitle(QString::fromUtf8(layout.caption));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    SetHelpContext(this, kHelpContext);
    navigator_->setObjectName(QLatin1String(layout.navigator));
    grid_->setObjectName(QLatin1String(layout.grid));
    resize(layout.client);
    // Navigator and grid follow the width and keep their heights.
    navigator_->setGeometry(0, 0, layout.client.width(), kNavigatorHeight);
    grid_->setGeometry(0, kNavigatorHeight, layout.client.width(), layout.gridHeight);
    if (dat_medium) {
        TMyDataSource* source = dat_medium->*layout.source;
        navigator_->SetDataSource(source);
        grid_->SetDataSource(source);
    }
    Bind(close_, &QPushButton::clicked, [this] { close(); });
    Bind(help_, &QPushButton::clicked, [this] {
        if (Application)
            Application->HelpContext(GetHelpContext(this));
    });
    Guard(this, [this] { FormCreate(this); });
}

void MasterDlg::FormCreate(QObject*)
{
    if (!dat_medium)
        return;
    (dat_medium->*layout_.table)->Open();
    grid_->SetFieldVisible(QLatin1String(layout_.keyField), false);
}

void MasterDlg::FormClose(QObject*, TCloseAction&)
{
    if (!dat_medium)
        return;
    (dat_medium->*layout_.table)->Close();
}

void MasterDlg::done(int result)
{
    TCloseAction action = caHide;
    Guard(this, [&] { FormClose(this, action); });
    if (action != caNone)
        QDialog::done(result);
}

void MasterDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    navigator_->setGeometry(0, 0, width(), kNavigatorHeight);
    grid_->setGeometry(0, kNavigatorHeight, width(), layout_.gridHeight);
}
