#pragma once

#include "platform/core/Component.h"
#include "platform/ipc/SingleInstance.h"
#include "platform/ipc/WindowMessages.h"
#include "platform/ui/Form.h"
#include "platform/ui/StatusBar.h"

#include <QLabel>

#include <cstdint>
#include <memory>

// The shell's main window, from the first command-line argument.
extern std::int32_t VortaHandle;
extern std::uint32_t WM_VortaModMainFormHandle;
extern std::uint32_t WM_VortaNotify;
extern std::uint32_t WM_VortaModNotify;

// Registers the three messages (first call only; the first module form calls it).
void RegisterVortaMessages();

constexpr std::uint32_t CM_SHOWNOACTIVATE = 0xB06F;
constexpr std::uint32_t CM_SHOWACTIVATE = 0xB070;

// Main form of every module program: the handshake with the host shell, placement
// below the shell, and the shell's hide, show and terminate requests.
class TVortaModuleForm : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TVortaModuleForm(vorta::Component* owner = nullptr);
    ~TVortaModuleForm() override;

    QLabel* Image1;
    vorta::ui::StatusBar* StatusBar1;
    // The single-instance component, switching to the previous instance.
    std::unique_ptr<vorta::ipc::SingleInstance> XJustOne1;

    void FormCreate(vorta::ui::Form* sender);
    void FormShow(vorta::ui::Form* sender);
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action);
    void FormDestroy(vorta::ui::Form* sender);
    void ApplicationEvents1Activate();
    void XJustOne1AlreadyExist();

    void NotificarVorta(std::uint64_t wParam, std::int64_t lParam);
    void SendHandleToVorta(std::uint32_t msg);
    void SetCanClose(bool value) { CanClose = value; }

    std::int64_t moduleNumber() const { return m_moduleNumber; }
    bool CanClose = false;

protected:
    void wndProc(vorta::ipc::Message& message) override;
    void WMSettingChange(vorta::ipc::Message& message);
    void CMShowActivate(vorta::ipc::Message& message);
    void CMShowNOActivate(vorta::ipc::Message& message);

private:
    // Fits the form into the work area below the offset of argument 2; raises when
    // the offset is no number.
    void placeBelowShell();
    void showBehindShell();
    void bringForward();

    std::int64_t m_moduleNumber = 0;
    // A later start that brought the running instance forward and ends.
    bool m_handedOver = false;
};

extern vorta::Guarded<TVortaModuleForm> VortaModuleForm;
