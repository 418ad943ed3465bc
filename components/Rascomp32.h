#pragma once

// Dial-up connection component over a remote-access backend: dials a phone-book
// entry, follows the dial's progress through a registered window message, hangs up,
// lists connections and entries, reads entry data, addresses and transfer figures.

#include "platform/core/Component.h"
#include "platform/core/Exceptions.h"
#include "platform/ipc/WindowMessages.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

VORTA_EXCEPTION_CLASS(EInvalidParameter, vorta::Exception)
VORTA_EXCEPTION_CLASS(EInvalidBuffer, vorta::Exception)
VORTA_EXCEPTION_CLASS(EBufferTooSmall, vorta::Exception)
VORTA_EXCEPTION_CLASS(ECannotOpenPhoneBook, vorta::Exception)
VORTA_EXCEPTION_CLASS(ECannotFindEntry, vorta::Exception)

// Error codes of the remote-access service that the component looks at.
namespace ras {
constexpr std::uint32_t ERROR_INVALID_HANDLE = 6;
constexpr std::uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr std::uint32_t ERROR_INVALID_PARAMETER = 87;
constexpr std::uint32_t ERROR_MORE_DATA = 234;
constexpr std::uint32_t ERROR_BUFFER_TOO_SMALL = 603;
constexpr std::uint32_t ERROR_INVALID_BUFFER = 610;
constexpr std::uint32_t ERROR_CANNOT_OPEN_PHONEBOOK = 621;
constexpr std::uint32_t ERROR_CANNOT_FIND_PHONEBOOK_ENTRY = 623;
constexpr std::uint32_t ERROR_SERVICE_NOT_AVAILABLE = 1157;
constexpr std::uint32_t RASCS_Connected = 8192;
constexpr std::uint32_t RASCS_Disconnected = 8193;
// The message number used when the name cannot be registered.
constexpr std::uint32_t kFallbackMessage = 52429;
} // namespace ras

// One active connection, as the service lists it.
struct RASCONN {
    std::uint32_t hrasconn = 0;
    QString szEntryName;  // up to 256 characters
    QString szDeviceType; // up to 16
    QString szDeviceName; // up to 128
};

struct RasDialParams {
    QString entryName, phoneNumber, callbackNumber, userName, password, domain;
};

struct RasConnStatus {
    std::uint32_t state = 0;
    std::uint32_t error = 0;
    QString deviceType, deviceName;
};

struct RasEntryProperties {
    QString areaCode, localPhoneNumber, deviceType, deviceName;
};

// The remote-access performance object: counter values per instance (or the one
// counter block of an object without instances), by counter name index.
struct RasPerfCounter {
    int nameIndex = 0;
    std::uint32_t value = 0;
};
struct RasPerfObject {
    int counterDefinitions = 0;
    std::vector<std::vector<RasPerfCounter>> blocks;
};
struct RasPerfData {
    std::uint32_t byteCount = 0;
    std::vector<RasPerfObject> objects;
};

// The system's remote-access service. Linux has none: the default backend answers as
// a system without the service does.
class RasBackend {
public:
    virtual ~RasBackend();
    // Whether the service's dial entry point is there.
    virtual bool available() const = 0;
    // 0 Windows 95, 1 Windows 98, 2 NT 3, 3 NT 4, 4 any other.
    virtual int platformKind() const = 0;
    // Starts a dial that reports its progress by posting message to notifyWindow
    // (WParam the state, LParam the error); handle receives the connection.
    virtual std::uint32_t dial(const QString& phoneBook, const RasDialParams& params,
                               vorta::ipc::WindowHandle notifyWindow, std::uint32_t message,
                               std::uint32_t& handle) = 0;
    virtual std::uint32_t hangUp(std::uint32_t handle) = 0;
    // Fills at most room records; ERROR_BUFFER_TOO_SMALL when there were more.
    virtual std::uint32_t enumConnections(std::vector<RASCONN>& connections, std::size_t room) = 0;
    // Names of the phone book's entries, at most room; reported is how many there are.
    virtual std::uint32_t enumEntries(const QString& phoneBook, QStringList& names, std::size_t room,
                                      int& reported) = 0;
    virtual std::uint32_t getConnectStatus(std::uint32_t handle, RasConnStatus& status) = 0;
    // The service's text for an error; empty when it has none.
    virtual QString errorString(std::uint32_t code) = 0;
    // The general system text for an error.
    virtual QString systemErrorString(std::uint32_t code) = 0;
    virtual std::uint32_t getEntryDialParams(const QString& phoneBook, const QString& entry,
                                             RasDialParams& params) = 0;
    virtual std::uint32_t getEntryProperties(const QString& phoneBook, const QString& entry,
                                             RasEntryProperties& properties) = 0;
    virtual std::uint32_t getProjection(std::uint32_t handle, QString& clientIP, QString& serverIP) = 0;
    // Windows 9x: the dial-up adapter's running totals.
    virtual bool readDialUpTotals(std::uint32_t& xmit, std::uint32_t& recv, std::uint32_t& speed) = 0;
    // NT: the performance object into a buffer of bufferSize bytes; ERROR_MORE_DATA
    // when the buffer is too small.
    virtual std::uint32_t queryPerfData(std::uint32_t bufferSize, RasPerfData& data) = 0;
};

// The backend every component of the process uses.
RasBackend& rasBackend();
// Replaces it (tests); null goes back to the default one.
void setRasBackend(std::shared_ptr<RasBackend> backend);

// Copies of connection records.
class TConnectionList {
public:
    void AddConnection(const RASCONN& connection) { m_items.push_back(connection); }
    std::uint32_t RASConn(int index) const { return m_items.at(static_cast<std::size_t>(index)).hrasconn; }
    QString EntryName(int index) const;
    void Delete(int index);
    void ClearConnections() { m_items.clear(); }
    int Count() const { return static_cast<int>(m_items.size()); }

private:
    std::vector<RASCONN> m_items;
};

class TRAS : public vorta::Component {
public:
    using NotifyEvent = std::function<void(TRAS* sender)>;
    using DisconnectEvent = std::function<void(TRAS* sender, int error, const QString& errorString)>;

    explicit TRAS(vorta::Component* owner = nullptr);
    ~TRAS() override;

    QString EntryName, PhoneNumber, CallbackNumber, UserName, Password, Domain;
    QString DeviceType, DeviceName;
    int RedialAttempts = 1; // stored only: a dial makes one attempt
    bool DAXCtrl = false;   // there is no design-time icon here; stored only

    QString PhoneBookPath() const { return m_phoneBookPath; }
    // Re-reads PhoneBookEntries.
    void setPhoneBookPath(const QString& path);
    const QStringList& PhoneBookEntries() const { return m_entries; }
    QString ClientIP() const { return m_clientIP; }
    QString ServerIP() const { return m_serverIP; }
    int StatsXmit() const { return m_statsXmit; }
    int StatsRecv() const { return m_statsRecv; }
    int StatsConn() const { return m_statsConn; }
    std::uint16_t ConnectionState() const { return m_state; }
    TConnectionList Connections;

    NotifyEvent OnConnect, OnCallBack, OnAboutToOpenPort, OnPortOpened, OnAboutToConnDev,
        OnDevConnected, OnAllDevsConnected, OnAuthenticate, OnAuthNotify, OnAuthRetry,
        OnAuthCallBack, OnAuthChangePassword, OnAuthProject, OnAuthLinkSpeed, OnAuthAck,
        OnReAuthenticate, OnAuthenticated, OnPrepareforCallback, OnWaitForModemReset,
        OnInteractiveStarted, OnRetryAuth, OnPasswordExpired, OnStateChanged,
        OnStartAuthentication, OnCallbackComplete, OnLogonNetwork, OnProjected;
    DisconnectEvent OnDisconnect;

    bool CheckRAS();
    int Connect();
    int DisConnect();
    int GetConnectStatus();
    int GetConnections();
    int GetPhoneBookEntries();
    bool GetEntry(const QString& name);
    bool GetPhoneNo(const QString& name);
    int GetIPAddress();
    bool IsConnected();
    bool GetPerfStats();
    void ResetPerfStats();
    QString GetErrorString(int code);
    QString MessageText();
    QString CurrentStatus();

    int lastError() const { return static_cast<int>(m_error); }
    std::uint32_t connectionHandle() const { return m_handle; }
    std::uint32_t dialMessage() const { return m_message; }
    int platformKind() const { return m_platform; }

private:
    class NotifyWindow;
    void windowProc(vorta::ipc::Message& message);
    void fireState(std::uint32_t state);
    void disconnectHandling();
    void hangUpQuietly();
    bool perfStats9x();
    bool perfStatsNT();

    QString m_phoneBookPath;
    QStringList m_entries;
    QString m_clientIP, m_serverIP;
    int m_statsXmit = 0, m_statsRecv = 0, m_statsConn = 0;
    std::uint32_t m_baseXmit = 0, m_baseRecv = 0;
    std::uint16_t m_state = 0;
    std::uint32_t m_handle = 0;
    std::uint32_t m_error = 0;
    std::uint32_t m_message = 0;
    std::uint32_t m_perfBufferSize = 8192;
    int m_platform = 4;
    std::unique_ptr<NotifyWindow> m_window;
};
