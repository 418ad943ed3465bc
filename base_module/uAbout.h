#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/StringGrid.h"

#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>

// The about box: the program's version, the installed modules' versions and the
// credits, which scroll up and down.
class TAboutBox : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TAboutBox(vorta::Component* owner = nullptr);

    vorta::ui::Label* Version;
    vorta::ui::ScrollBox* ScrollBox1;
    QPlainTextEdit* Memo2;
    QPlainTextEdit* Memo3;
    QPlainTextEdit* ProductName;
    QPlainTextEdit* Memo1;
    vorta::ui::StringGrid* SG1;
    QTimer* Timer1;

    void FormShow(vorta::ui::Form* sender);
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action);
    void Timer1Timer();

    // The module programs of the folder (the hidden file list's contents).
    static QStringList programas(const QString& pasta);
    int contador() const { return m_contador; }
    bool subindo() const { return m_subindo; }

private:
    int m_contador = 0;
    bool m_subindo = true;
};

extern vorta::Guarded<TAboutBox> AboutBox;
