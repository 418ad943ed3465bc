#include "uVortaMenuForm.h"

#include "uDmVortaModule.h"

#include <QHBoxLayout>
#include <QLayout>
#include <QMouseEvent>

vorta::Guarded<TfVortaMenuForm> fVortaMenuForm;

namespace {
// A label that reports clicks.
class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && onClick)
            onClick();
    }
};
} // namespace

TfVortaMenuForm::TfVortaMenuForm(vorta::Component* owner) : TVortaModuleForm(owner)
{
    setObjectName(QStringLiteral("fVortaMenuForm"));
    setCaption(QStringLiteral("Vorta"));
    helpContext = 12500;
    MainMenu1 = new vorta::ui::MainMenu(this);
    MainMenu1->setName(QStringLiteral("MainMenu1"));
    setMainMenu(MainMenu1);

    pnlMensagem = new QWidget(this);
    pnlMensagem->setObjectName(QStringLiteral("pnlMensagem"));
    auto* row = new QHBoxLayout(pnlMensagem);
    auto* hide = new ClickLabel(QStringLiteral("Ocultar"), pnlMensagem);
    hide->setObjectName(QStringLiteral("Label1"));
    hide->setCursor(Qt::PointingHandCursor);
    hide->onClick = [this] { Label1Click(); };
    Label1 = hide;
    row->addStretch();
    row->addWidget(Label1);
    pnlMensagem->hide();
    // Above the status bar, below the logo.
    if (auto* box = qobject_cast<QBoxLayout*>(layout()))
        box->insertWidget(1, pnlMensagem);

    OnCreate = [this](vorta::ui::Form* f) { FormCreate(f); };
}

void TfVortaMenuForm::FormCreate(vorta::ui::Form* sender)
{
    TVortaModuleForm::FormCreate(sender);
    HelpFile = DirModulos + QStringLiteral("Vorta.HLP");
    m_showMessages = true;
}

void TfVortaMenuForm::MostrarPaineldeMensagem(const QString& text)
{
    if (!m_showMessages)
        return;
    pnlMensagem->setVisible(!text.trimmed().isEmpty());
}

void TfVortaMenuForm::Label1Click()
{
    m_showMessages = false;
    pnlMensagem->hide();
}
