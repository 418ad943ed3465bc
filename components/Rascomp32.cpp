#include "Rascomp32.h"

#include <QCoreApplication>

#include <map>

RasBackend::~RasBackend() = default;

namespace {

// A system without the remote-access service: nothing is ever called.
class NoRasBackend : public RasBackend {
public:
    bool available() const override { return false; }
    int platformKind() const override { return 4; }
    std::uint32_t dial(const QString&, const RasDialParams&, vorta::ipc::WindowHandle, std::uint32_t,
                       std::uint32_t&) override { return ras::ERROR_SERVICE_NOT_AVAILABLE; }
    std::uint32_t hangUp(std::uint32_t) override { return ras::ERROR_SERVICE_NOT_AVAILABLE; }
    std::uint32_t enumConnections(std::vector<RASCONN>&, std::size_t) override { return ras::ERROR_SERVICE_NOT_AVAILABLE; }
    std::uint32_t enumEntries(const QString&, QStringList&, std::size_t, int&) override { return ras::ERROR_SERVICE_NOT_AVAILABLE; }
    std::uint32_t getConnectStatus(std::uint32_t, RasConnStatus&) override { return ras::ERROR_SERVICE_NOT_AVAILABLE; }
    QString errorString(std::uint32_t) override { return {}; }
    QString systemErrorString(std::uint32_t) override { return {}; }
    std::uint32_t getEntryDialParams(const QString&, const QString&, RasDialParams&) override { return ras::ERROR_SERVICE_NOT_AVAILABLE; }
    std::uint32_t getEntryProperties(const QString&, const QString&, RasEntryProperties&) override { return ras::ERROR_SERVICE_NOT_AVAILABLE; }
    std::uint32_t getProjection(std::uint32_t, QString&, QString&) override { return ras::ERROR_SERVICE_NOT_AVAILABLE; }
    bool readDialUpTotals(std::uint32_t&, std::uint32_t&, std::uint32_t&) override { return false; }
    std::uint32_t queryPerfData(std::uint32_t, RasPerfData&) override { return ras::ERROR_SERVICE_NOT_AVAILABLE; }
};

std::shared_ptr<RasBackend>& currentBackend()
{
    static std::shared_ptr<RasBackend> backend = std::make_shared<NoRasBackend>();
    return backend;
}

struct StateTexts {
    const char* message;
    const char* status;
};

// MessageText (Portuguese) and CurrentStatus (English) by state; null where a state has none.
const std::map<std::uint32_t, StateTexts>& stateTexts()
{
    static const std::map<std::uint32_t, StateTexts> texts = {
        {0, {"Abrindo porta", "Opening Port"}},
        {1, {"Porta aberta", "Port Opened"}},
        {2, {nullptr, nullptr}}, // with the device, below
        {3, {"Dispositivo conectado", "Device is connected"}},
        {4, {"Todos os dispositivos necessários conectados", "All Required Devices Connected"}},
        {5, {"Verificando usuário e senha", "Validating User/Password/Domain"}},
        {6, {"Notificação de autenticação", "Authentication Notification"}},
        {7, {"Reautenticando", nullptr}},
        {8, {"Retorno de autenticação", "Authentication Call Back"}},
        {9, {"Mudança de senha", nullptr}},
        {10, {"Projeção iniciada", "Project"}},
        {11, {"Calculando velocidade da conexão", "Calculating Link speed"}},
        {12, {"Autenticação reconhecida", "Authentication acknowledged"}},
        {13, {"Re-autenticando", "Reauthenticating"}},
        {14, {"Autenticado", "Login Authenticated"}},
        {15, {"Preparando para retorno de chamada", "Preparing for Callback"}},
        {16, {"Esperando o modem reiniciar", "Waiting for Modem Reset"}},
        {17, {"Esperando retorno de chamada", "Waiting for Callback"}},
        {18, {"Projetado", "Projection result information available."}},
        {19, {"Iniciando Autenticação", "Authentication being initiated or retried."}},
        {20, {"Retorno completo", "Client has been called back. About to authenticate."}},
        {21, {"Logon na rede", "Client logging on to network."}},
        {4096, {"Interativo", nullptr}},
        {4097, {"Reautenticando", nullptr}},
        {4098, {"Retorno", nullptr}},
        {4099, {"Senha vencida", nullptr}},
        {8192, {"Conectado", nullptr}},
        {8193, {"Desconectado", nullptr}},
    };
    return texts;
}

constexpr int kEntryRoom = 50;
constexpr int kConnectionRoom = 4;
constexpr int kMaxCounterDefinitions = 50;
constexpr int kBytesTransmitted = 872;
constexpr int kBytesReceived = 874;

} // namespace

RasBackend& rasBackend()
{
    return *currentBackend();
}

void setRasBackend(std::shared_ptr<RasBackend> backend)
{
    currentBackend() = backend ? std::move(backend) : std::make_shared<NoRasBackend>();
}

QString TConnectionList::EntryName(int index) const
{
    if (index < 0 || index >= Count())
        return {};
    return m_items[static_cast<std::size_t>(index)].szEntryName;
}

void TConnectionList::Delete(int index)
{
    m_items.erase(m_items.begin() + index);
}

// The window the dial's progress messages are posted to.
class TRAS::NotifyWindow : public vorta::ipc::MessageTarget {
public:
    explicit NotifyWindow(TRAS& owner)
        : m_owner(owner), m_handle(vorta::ipc::Messenger::instance().allocateHandle(this)) {}
    ~NotifyWindow() override { vorta::ipc::Messenger::instance().releaseHandle(m_handle); }
    void windowProc(vorta::ipc::Message& message) override { m_owner.windowProc(message); }
    vorta::ipc::WindowHandle handle() const { return m_handle; }

private:
    TRAS& m_owner;
    vorta::ipc::WindowHandle m_handle;
};

TRAS::TRAS(vorta::Component* owner)
    : vorta::Component(owner)
{
    const std::uint32_t registered = vorta::ipc::Messenger::instance().registerWindowMessage(QStringLiteral("RASDialEvent"));
    m_message = registered != 0 ? registered : ras::kFallbackMessage;
    m_platform = rasBackend().platformKind();
    ResetPerfStats();
}

TRAS::~TRAS()
{
    hangUpQuietly();
}

bool TRAS::CheckRAS()
{
    if (rasBackend().available())
        return true;
    m_error = ras::ERROR_SERVICE_NOT_AVAILABLE;
    return false;
}

void TRAS::setPhoneBookPath(const QString& path)
{
    m_phoneBookPath = path;
    GetPhoneBookEntries();
}

void TRAS::hangUpQuietly()
{
    if (m_handle == 0)
        return;
    m_error = rasBackend().hangUp(m_handle);
    m_handle = 0;
}

int TRAS::Connect()
{
    m_error = ras::ERROR_SERVICE_NOT_AVAILABLE;
    if (!CheckRAS())
        return static_cast<int>(m_error);
    ResetPerfStats();
    m_state = 0;
    hangUpQuietly();
    if (!m_window)
        m_window = std::make_unique<NotifyWindow>(*this);
    const RasDialParams params{EntryName.left(256), PhoneNumber.left(128), CallbackNumber.left(128),
                               UserName.left(256), Password.left(256), Domain.left(15)};
    std::uint32_t handle = 0;
    m_error = rasBackend().dial(m_phoneBookPath, params, m_window->handle(), m_message, handle);
    m_handle = handle;
    return static_cast<int>(m_error);
}

int TRAS::DisConnect()
{
    m_error = ras::ERROR_SERVICE_NOT_AVAILABLE;
    if (!CheckRAS())
        return static_cast<int>(m_error);
    m_state = 0;
    std::uint32_t result = 0;
    if (m_handle != 0) {
        result = rasBackend().hangUp(m_handle);
        m_handle = 0;
    }
    m_error = result;
    m_window.reset();
    disconnectHandling();
    return static_cast<int>(result);
}

void TRAS::disconnectHandling()
{
    if (!OnDisconnect)
        return;
    const int code = GetConnectStatus();
    OnDisconnect(this, code, GetErrorString(code));
}

int TRAS::GetConnectStatus()
{
    m_error = ras::ERROR_SERVICE_NOT_AVAILABLE;
    if (!CheckRAS())
        return static_cast<int>(m_error);
    RasConnStatus status;
    const std::uint32_t rc = rasBackend().getConnectStatus(m_handle, status);
    if (rc != 0) {
        m_error = rc;
        return static_cast<int>(rc);
    }
    DeviceName = status.deviceName;
    DeviceType = status.deviceType;
    m_state = static_cast<std::uint16_t>(status.state);
    m_error = status.error;
    return static_cast<int>(m_error);
}

int TRAS::GetConnections()
{
    m_error = ras::ERROR_SERVICE_NOT_AVAILABLE;
    if (!CheckRAS())
        return static_cast<int>(m_error);
    Connections.ClearConnections();
    std::vector<RASCONN> found;
    std::uint32_t rc = rasBackend().enumConnections(found, kConnectionRoom);
    if (rc == ras::ERROR_BUFFER_TOO_SMALL)
        rc = 0;
    m_error = rc;
    if (rc == 0)
        for (std::size_t i = 0; i < found.size() && i < std::size_t(kConnectionRoom); ++i)
            Connections.AddConnection(found[i]);
    return static_cast<int>(rc);
}

int TRAS::GetPhoneBookEntries()
{
    m_error = ras::ERROR_SERVICE_NOT_AVAILABLE;
    m_entries.clear();
    if (!CheckRAS())
        return -1;
    QStringList names;
    int reported = 0;
    std::uint32_t rc = rasBackend().enumEntries(m_phoneBookPath, names, kEntryRoom, reported);
    if (rc == ras::ERROR_BUFFER_TOO_SMALL)
        rc = 0;
    m_error = rc;
    if (rc != 0)
        return -1;
    for (const QString& name : names) {
        if (m_entries.size() >= kEntryRoom - 1)
            break;
        if (!name.isEmpty())
            m_entries << name;
    }
    return reported;
}

bool TRAS::GetEntry(const QString& name)
{
    m_error = ras::ERROR_SERVICE_NOT_AVAILABLE;
    if (!CheckRAS())
        return false;
    RasDialParams params;
    m_error = rasBackend().getEntryDialParams(m_phoneBookPath, name, params);
    if (m_error != 0)
        return false;
    UserName = params.userName;
    Password = params.password;
    CallbackNumber = params.callbackNumber;
    Domain = params.domain;
    if (m_platform == 0) {
        PhoneNumber = params.phoneNumber;
        return true;
    }
    return GetPhoneNo(name);
}

bool TRAS::GetPhoneNo(const QString& name)
{
    m_error = ras::ERROR_SERVICE_NOT_AVAILABLE;
    if (!CheckRAS())
        return false;
    RasEntryProperties properties;
    m_error = rasBackend().getEntryProperties(m_phoneBookPath, name, properties);
    switch (m_error) {
    case 0: break;
    case ras::ERROR_INVALID_PARAMETER: throw EInvalidParameter(QStringLiteral("Invalid parameter in GetEntryInfo."));
    case ras::ERROR_INVALID_BUFFER: throw EInvalidBuffer(QStringLiteral("Invalid buffer in GetEntryInfo."));
    case ras::ERROR_BUFFER_TOO_SMALL: throw EBufferTooSmall(QStringLiteral("Buffer too small in GetEntryInfo."));
    case ras::ERROR_CANNOT_OPEN_PHONEBOOK: throw ECannotOpenPhoneBook(QStringLiteral("Unable to open phonebok in GetEntryInfo."));
    case ras::ERROR_CANNOT_FIND_PHONEBOOK_ENTRY: throw ECannotFindEntry(QStringLiteral("Cannot find phonebook entry in GetEntryInfo."));
    default: return false;
    }
    PhoneNumber = (properties.areaCode + properties.localPhoneNumber).left(140);
    DeviceName = properties.deviceName;
    DeviceType = properties.deviceType;
    return true;
}

int TRAS::GetIPAddress()
{
    m_error = ras::ERROR_SERVICE_NOT_AVAILABLE;
    if (!CheckRAS())
        return static_cast<int>(m_error);
    if (m_handle == 0)
        return static_cast<int>(m_error);
    QString client, server;
    m_error = rasBackend().getProjection(m_handle, client, server);
    if (m_error == 0) {
        m_clientIP = client;
        m_serverIP = server;
    }
    return static_cast<int>(m_error);
}

bool TRAS::IsConnected()
{
    m_error = ras::ERROR_SERVICE_NOT_AVAILABLE;
    if (!CheckRAS())
        return false;
    std::vector<RASCONN> found;
    const std::uint32_t rc = rasBackend().enumConnections(found, kConnectionRoom);
    if (rc != 0 && rc != ras::ERROR_BUFFER_TOO_SMALL)
        return false;
    for (const RASCONN& c : found) {
        RasConnStatus status;
        if (rasBackend().getConnectStatus(c.hrasconn, status) == 0 && status.state == ras::RASCS_Connected)
            return true;
    }
    return false;
}

void TRAS::ResetPerfStats()
{
    m_statsXmit = 0;
    m_statsRecv = 0;
    std::uint32_t xmit = 0, recv = 0, speed = 0;
    if ((m_platform == 0 || m_platform == 1) && rasBackend().readDialUpTotals(xmit, recv, speed)) {
        m_baseXmit = xmit;
        m_baseRecv = recv;
    } else {
        m_baseXmit = 0;
        m_baseRecv = 0;
    }
}

bool TRAS::GetPerfStats()
{
    switch (m_platform) {
    case 0: case 1: return perfStats9x();
    case 2: case 3: return perfStatsNT();
    default: return false;
    }
}

bool TRAS::perfStats9x()
{
    std::uint32_t xmit = 0, recv = 0, speed = 0;
    if (!rasBackend().readDialUpTotals(xmit, recv, speed))
        return false;
    if (xmit < m_baseXmit || recv < m_baseRecv) {
        // The adapter restarted its counters.
        m_baseXmit = xmit;
        m_baseRecv = recv;
    }
    m_statsConn = static_cast<int>(speed);
    m_statsXmit = static_cast<int>(xmit - m_baseXmit);
    m_statsRecv = static_cast<int>(recv - m_baseRecv);
    return true;
}

bool TRAS::perfStatsNT()
{
    RasPerfData data;
    std::uint32_t rc;
    while ((rc = rasBackend().queryPerfData(m_perfBufferSize, data)) == ras::ERROR_MORE_DATA) {
        m_perfBufferSize += 1024;
        data = RasPerfData();
    }
    if (rc != 0 || data.byteCount < 100 || data.objects.empty())
        return false;
    for (const RasPerfObject& object : data.objects) {
        QCoreApplication::processEvents();
        if (object.counterDefinitions > kMaxCounterDefinitions)
            return false;
        for (const auto& block : object.blocks)
            for (const RasPerfCounter& counter : block) {
                const int value = static_cast<int>(counter.value);
                if (counter.nameIndex == kBytesTransmitted && value > m_statsXmit)
                    m_statsXmit = value;
                else if (counter.nameIndex == kBytesReceived && value > m_statsRecv)
                    m_statsRecv = value;
            }
    }
    return true;
}

QString TRAS::GetErrorString(int code)
{
    if (m_handle == 0)
        return QStringLiteral("Nenhuma comunicação ativa.\r\nImpossibilitado de comunicar com o modem.");
    QString text = rasBackend().errorString(static_cast<std::uint32_t>(code)).left(256);
    if (text.isEmpty())
        text = rasBackend().systemErrorString(static_cast<std::uint32_t>(code));
    return text;
}

QString TRAS::MessageText()
{
    QString text;
    const auto& texts = stateTexts();
    const auto it = texts.find(m_state);
    if (m_state == 2)
        text = QStringLiteral("Conectando usando o dispositivo ") + DeviceName;
    else if (it != texts.end() && it->second.message)
        text = QString::fromUtf8(it->second.message);
    else if (m_state >= 601)
        text = GetErrorString(m_state);
    else
        text = QStringLiteral("Estado desconhecido");
    if (m_error > 0)
        text = GetErrorString(static_cast<int>(m_error));
    return text;
}

QString TRAS::CurrentStatus()
{
    if (m_handle == 0)
        return QStringLiteral("Inativo");
    GetConnectStatus();
    switch (m_error) {
    case 0: {
        if (m_state == 2)
            return QStringLiteral("Using Device: ") + DeviceName + QStringLiteral(" - ") + DeviceType;
        const auto& texts = stateTexts();
        const auto it = texts.find(m_state);
        return it != texts.end() && it->second.status ? QString::fromUtf8(it->second.status) : QString();
    }
    case ras::ERROR_INVALID_HANDLE: return QStringLiteral("Handle inválido");
    case ras::ERROR_NOT_ENOUGH_MEMORY: return QStringLiteral("Memória insuficiente");
    default:
        return m_error >= 600 ? GetErrorString(static_cast<int>(m_error)) : QString();
    }
}

void TRAS::windowProc(vorta::ipc::Message& message)
{
    if (message.msg != m_message || m_handle == 0)
        return;
    if (message.lParam != 0) {
        m_error = static_cast<std::uint32_t>(message.lParam);
        m_state = static_cast<std::uint16_t>(message.lParam & 0xFFFF);
        if (OnStateChanged)
            OnStateChanged(this);
    } else {
        m_state = static_cast<std::uint16_t>(message.wParam);
        if (OnStateChanged)
            OnStateChanged(this);
        fireState(static_cast<std::uint32_t>(message.wParam));
    }
    CurrentStatus();
}

void TRAS::fireState(std::uint32_t state)
{
    if (state == ras::RASCS_Disconnected) {
        disconnectHandling();
        return;
    }
    static const std::map<std::uint32_t, NotifyEvent TRAS::*> events = {
        {0, &TRAS::OnAboutToOpenPort}, {1, &TRAS::OnPortOpened}, {2, &TRAS::OnAboutToConnDev},
        {3, &TRAS::OnDevConnected}, {4, &TRAS::OnAllDevsConnected}, {5, &TRAS::OnAuthenticate},
        {6, &TRAS::OnAuthNotify}, {7, &TRAS::OnAuthRetry}, {8, &TRAS::OnAuthCallBack},
        {9, &TRAS::OnAuthChangePassword}, {10, &TRAS::OnAuthProject}, {11, &TRAS::OnAuthLinkSpeed},
        {12, &TRAS::OnAuthAck}, {13, &TRAS::OnReAuthenticate}, {14, &TRAS::OnAuthenticated},
        {15, &TRAS::OnPrepareforCallback}, {16, &TRAS::OnWaitForModemReset}, {17, &TRAS::OnCallBack},
        {18, &TRAS::OnProjected}, {19, &TRAS::OnStartAuthentication}, {20, &TRAS::OnCallbackComplete},
        {21, &TRAS::OnLogonNetwork}, {4096, &TRAS::OnInteractiveStarted}, {4097, &TRAS::OnRetryAuth},
        {4099, &TRAS::OnPasswordExpired}, {ras::RASCS_Connected, &TRAS::OnConnect},
    };
    const auto it = events.find(state);
    if (it == events.end())
        return;
    const NotifyEvent& handler = this->*(it->second);
    if (m_handle != 0 && handler)
        handler(this);
}
