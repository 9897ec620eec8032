#include "platform/vcl/dbnavigator.h"

#include "platform/vcl/application.h"

#include <QToolButton>

namespace {

struct Face {
    const char* name;
    const char* glyph;
    const char* hint;
};

// The platform's German hints.
const Face faces[] = {
    {"nbFirst", "|\u25C0", "Erster Datensatz"},      {"nbPrior", "\u25C0", "Vorheriger Datensatz"},
    {"nbNext", "\u25B6", "Nächster Datensatz"},      {"nbLast", "\u25B6|", "Letzter Datensatz"},
    {"nbInsert", "+", "Datensatz einfügen"},         {"nbDelete", "\u2212", "Datensatz löschen"},
    {"nbEdit", "\u25B2", "Datensatz bearbeiten"},    {"nbPost", "\u2713", "Daten speichern"},
    {"nbCancel", "\u2715", "Bearbeitung abbrechen"}, {"nbRefresh", "\u21BB", "Daten aktualisieren"},
};

} // namespace

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent)
{
    for (int i = 0; i < 10; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(faces[i].name));
        button->setText(QString::fromUtf8(faces[i].glyph));
        button->setFocusPolicy(Qt::NoFocus);
        SetHint(button, QString::fromUtf8(faces[i].hint));
        const auto which = static_cast<TNavigateBtn>(i);
        Bind(button, &QToolButton::clicked, [this, which] { BtnClick(which); });
        buttons_[static_cast<std::size_t>(i)] = button;
    }
    updateButtons();
}

TDBNavigator::~TDBNavigator()
{
    if (link_)
        link_->disconnect(this);
}

void TDBNavigator::SetDataSource(TMyDataSource* source)
{
    if (link_)
        link_->disconnect(this);
    link_ = TDataLink::Of(source);
    if (link_) {
        for (auto signal : {&TDataLink::reset, &TDataLink::rowInserted, &TDataLink::rowRemoved,
                            &TDataLink::stateChanged})
            connect(link_.get(), signal, this, [this] { updateButtons(); });
    }
    updateButtons();
}

TMyDataSource* TDBNavigator::DataSource() const
{
    return link_ ? link_->DataSource() : nullptr;
}

QToolButton* TDBNavigator::Button(TNavigateBtn button) const
{
    return buttons_[static_cast<std::size_t>(button)];
}

void TDBNavigator::BtnClick(TNavigateBtn button)
{
    if (!link_)
        return;
    switch (button) {
    case nbFirst:
        link_->First();
        break;
    case nbPrior:
        link_->Prior();
        break;
    case nbNext:
        link_->Next();
        break;
    case nbLast:
        link_->Last();
        break;
    case nbInsert:
        link_->Insert();
        break;
    case nbDelete:
        link_->Delete(ConfirmDelete);
        break;
    case nbEdit:
        link_->Edit();
        break;
    case nbPost:
        link_->Post();
        break;
    case nbCancel:
        link_->Cancel();
        break;
    case nbRefresh:
        link_->Refresh();
        break;
    }
}

void TDBNavigator::updateButtons()
{
    const bool active = link_ && link_->Active();
    const int row = active ? link_->Row() : -1;
    const int rows = active ? link_->RecordCount() : 0;
    const bool editing = active && link_->EditRow() >= 0;
    const bool up = row > 0;
    const bool down = row >= 0 && row < rows - 1;
    const bool enabled[] = {
        up,      up,      down,  down, active, rows > 0, active && !editing && row >= 0,
        editing, editing, active};
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        buttons_[i]->setEnabled(enabled[i]);
}

void TDBNavigator::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int n = static_cast<int>(buttons_.size());
    for (int i = 0; i < n; ++i) {
        const int left = i * width() / n;
        const int right = (i + 1) * width() / n;
        buttons_[static_cast<std::size_t>(i)]->setGeometry(left, 0, right - left, height());
    }
}
