#pragma once

#include "uVortaModuleForm.h"

#include "platform/ui/Menu.h"

#include <QLabel>
#include <QWidget>

// Main form of the base module.
class TfVortaMenuForm : public TVortaModuleForm {
    Q_OBJECT
public:
    explicit TfVortaMenuForm(vorta::Component* owner = nullptr);

    vorta::ui::MainMenu* MainMenu1;
    QWidget* pnlMensagem;
    QLabel* Label1;
    QString HelpFile;

    void FormCreate(vorta::ui::Form* sender);
    void MostrarPaineldeMensagem(const QString& text);
    void Label1Click();

    bool mensagemPermitida() const { return m_showMessages; }

private:
    bool m_showMessages = false;
};

extern vorta::Guarded<TfVortaMenuForm> fVortaMenuForm;
