#include "ui/info_frm.h"

#include "platform/vcl/application.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/shell.h"

#include <QBuffer>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>

const char* const Tfrm_info::Address = "https://www.vantoria.de";

namespace {

constexpr int kHelpContext = 112;
constexpr int kSide = 142;

// Books on a shelf, a disc leaning against them.
QImage drawPicture()
{
    QImage image(kSide, kSide, QImage::Format_RGB32);
    // 72 dots per inch
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kSide);
    sky.setColorAt(0, QColor(0xcf, 0xe3, 0xf7));
    sky.setColorAt(1, QColor(0xf8, 0xfb, 0xff));
    p.fillRect(image.rect(), sky);

    p.fillRect(QRect(6, 112, 130, 10), QColor(0x8b, 0x5a, 0x2b));
    p.fillRect(QRect(6, 122, 130, 4), QColor(0x5e, 0x3b, 0x1a));
    struct Book {
        int x, width, height;
        QColor colour;
    };
    const Book books[] = {
        {12, 14, 78, QColor(0xc0, 0x39, 0x2b)}, {27, 11, 66, QColor(0x27, 0x60, 0xa8)},
        {39, 16, 84, QColor(0x2e, 0x8b, 0x57)}, {56, 10, 60, QColor(0xe6, 0xa1, 0x17)},
        {67, 13, 72, QColor(0x6c, 0x3c, 0x97)},
    };
    p.setPen(QPen(QColor(0x30, 0x20, 0x10), 1));
    for (const Book& b : books) {
        const QRect spine(b.x, 112 - b.height, b.width, b.height);
        p.setBrush(b.colour);
        p.drawRect(spine);
        p.fillRect(QRect(b.x + 2, spine.top() + 8, b.width - 3, 3), QColor(0xf5, 0xe6, 0xc8));
    }
    // A film box lying flat.
    p.setBrush(QColor(0x22, 0x22, 0x22));
    p.drawRect(QRect(84, 100, 46, 12));
    p.fillRect(QRect(88, 104, 38, 4), QColor(0xd0, 0xd0, 0xd0));
    // A disc.
    const QPointF centre(108, 62);
    QRadialGradient shine(centre, 28);
    shine.setColorAt(0, QColor(0xff, 0xff, 0xff));
    shine.setColorAt(0.6, QColor(0xb8, 0xd8, 0xf0));
    shine.setColorAt(1, QColor(0xd8, 0xb0, 0xe8));
    p.setBrush(shine);
    p.drawEllipse(centre, 28, 28);
    p.setBrush(QColor(0xcf, 0xe3, 0xf7));
    p.drawEllipse(centre, 6, 6);
    return image;
}

} // namespace

QByteArray Tfrm_info::Picture()
{
    static const QByteArray bytes = [] {
        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        drawPicture().save(&buffer, "JPEG", 90);
        return out;
    }();
    return bytes;
}

Tfrm_info::Tfrm_info(QWidget* owner)
    : TNoCancelDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      img_info(new QLabel(this)), lbl_info(new QLabel(this)), btn_info(new QPushButton(this)),
      lll_info(new QLabel(this)), lbl_linkinfo(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Info zu Kollektar"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(490, 325);
    SetHelpContext(this, kHelpContext);

    img_info->setObjectName(QStringLiteral("img_info"));
    img_info->setGeometry(24, 32, 145, 146);
    img_info->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QImage picture;
    if (!picture.loadFromData(Picture(), "JPEG"))
        picture = drawPicture();
    img_info->setPixmap(QPixmap::fromImage(picture));

    // Labels size themselves to their text; the long one wraps within its width.
    lbl_info->setObjectName(QStringLiteral("lbl_info"));
    lbl_info->setText(QStringLiteral("Verwaltet die Multimediabibliothek eines Privathaushaltes."));
    lbl_info->setWordWrap(true);
    lbl_info->setGeometry(184, 32, 276, 13);
    lbl_info->resize(276, std::max(13, lbl_info->heightForWidth(276)));

    btn_info->setObjectName(QStringLiteral("btn_info"));
    btn_info->setText(QStringLiteral("OK"));
    btn_info->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    btn_info->setGeometry(200, 272, 75, 25);
    btn_info->setDefault(true);
    SetHint(btn_info, QStringLiteral("OK"));
    Bind(btn_info, &QPushButton::clicked, [this] { done(mrOk); });

    const QString address = QLatin1String(Address);
    lll_info->setObjectName(QStringLiteral("lll_info"));
    lll_info->setTextFormat(Qt::RichText);
    lll_info->setText(QStringLiteral("<a href=\"%1\">%1</a>").arg(address.toHtmlEscaped()));
    lll_info->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    // Reached by Tab only: a click on the link leaves the focus, and with it Enter, on OK.
    lll_info->setFocusPolicy(Qt::TabFocus);
    lll_info->setOpenExternalLinks(false);
    lll_info->move(24, 216);
    lll_info->resize(std::max(126, lll_info->sizeHint().width()), 17);
    connect(lll_info, &QLabel::linkActivated, this, [this](const QString& link) {
        Guard(lll_info, [&] { lll_infoLinkClick(lll_info, link, sltURL); });
    });

    lbl_linkinfo->setObjectName(QStringLiteral("lbl_linkinfo"));
    lbl_linkinfo->setText(QStringLiteral("Weitere Informationen :"));
    lbl_linkinfo->move(24, 184);
    lbl_linkinfo->resize(std::max(116, lbl_linkinfo->sizeHint().width()), 13);

    setTabOrder(btn_info, lll_info);
}

void Tfrm_info::lll_infoLinkClick(QObject*, const String& link, TSysLinkType)
{
    ShellExecuteW(this, QStringLiteral("open"), link, String(), String(), SW_SHOWDEFAULT);
}
