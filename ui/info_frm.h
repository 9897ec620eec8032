#pragma once

#include "platform/vcl/forms.h"

#include "platform/rtl/ansistring.h"

#include <QByteArray>
#include <QDialog>

class QLabel;
class QPushButton;

// The info box: what the program is for, a picture and a link to the maker's page. Shown
// modally with exec(); OK (the button or Enter) and the close box close it, Escape does not.
class Tfrm_info : public TNoCancelDialog {
    Q_OBJECT
public:
    enum TSysLinkType { sltURL, sltID };

    explicit Tfrm_info(QWidget* owner);

    QLabel* img_info;
    QLabel* lbl_info;
    QPushButton* btn_info;
    QLabel* lll_info;
    QLabel* lbl_linkinfo;

    // Opens the clicked address with the shell's default handler; the box stays open.
    void lll_infoLinkClick(QObject* sender, const String& link, TSysLinkType linkType);

    // The maker's page that the link shows and opens.
    static const char* const Address;
    // The picture as the box holds it: a JPEG colour picture of 142 x 142 pixels.
    static QByteArray Picture();
};
