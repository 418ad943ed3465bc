#include "Rascomp32.h"
#include "Ras.h"

#include "platform/ipc/WindowMessages.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <deque>
#include <memory>

namespace {

// A remote-access service played by the test: a dial posts the scripted progress
// notifications to the component's window through the event loop.
class ScriptedRas : public RasBackend {
public:
    struct Notification {
        std::uint64_t state;
        std::int64_t error;
    };
    int kind = 3;
    std::uint32_t dialResult = 0;
    std::vector<Notification> progress;
    std::uint32_t nextHandle = 7;
    RasDialParams dialled;
    QString dialledBook;
    std::vector<std::uint32_t> hungUp;
    std::vector<RASCONN> connections;
    std::uint32_t enumResult = 0;
    RasConnStatus status;
    std::uint32_t statusResult = 0;
    QStringList entries;
    std::uint32_t entriesResult = 0;
    int entriesReported = 0;
    RasDialParams entryParams;
    std::uint32_t entryPropertiesResult = 0;
    RasEntryProperties entryProperties;
    std::uint32_t xmit = 0, recv = 0, speed = 0;
    bool totalsReadable = true;
    std::uint32_t perfBufferNeeded = 8192;
    std::vector<std::uint32_t> perfQueries;
    RasPerfData perf;

    bool available() const override { return true; }
    int platformKind() const override { return kind; }
    std::uint32_t dial(const QString& book, const RasDialParams& params, vorta::ipc::WindowHandle window,
                       std::uint32_t message, std::uint32_t& handle) override
    {
        dialled = params;
        dialledBook = book;
        if (dialResult != 0)
            return dialResult;
        handle = nextHandle;
        for (const Notification& n : progress)
            vorta::ipc::Messenger::instance().postMessage(window, message, n.state, n.error);
        return 0;
    }
    std::uint32_t hangUp(std::uint32_t handle) override
    {
        hungUp.push_back(handle);
        return 0;
    }
    std::uint32_t enumConnections(std::vector<RASCONN>& out, std::size_t room) override
    {
        for (std::size_t i = 0; i < connections.size() && i < room; ++i)
            out.push_back(connections[i]);
        return connections.size() > room ? ras::ERROR_BUFFER_TOO_SMALL : enumResult;
    }
    std::uint32_t enumEntries(const QString&, QStringList& names, std::size_t room, int& reported) override
    {
        names = entries.mid(0, static_cast<qsizetype>(room));
        reported = entriesReported;
        return entriesResult;
    }
    std::uint32_t getConnectStatus(std::uint32_t handle, RasConnStatus& out) override
    {
        if (handle == 0)
            return ras::ERROR_INVALID_HANDLE;
        out = status;
        return statusResult;
    }
    QString errorString(std::uint32_t code) override
    {
        return code == 678 ? QStringLiteral("Não houve resposta.") : QString();
    }
    QString systemErrorString(std::uint32_t code) override { return QStringLiteral("system %1").arg(code); }
    std::uint32_t getEntryDialParams(const QString&, const QString&, RasDialParams& params) override
    {
        params = entryParams;
        return 0;
    }
    std::uint32_t getEntryProperties(const QString&, const QString&, RasEntryProperties& properties) override
    {
        properties = entryProperties;
        return entryPropertiesResult;
    }
    std::uint32_t getProjection(std::uint32_t handle, QString& client, QString& server) override
    {
        if (handle == 0)
            return ras::ERROR_INVALID_HANDLE;
        client = QStringLiteral("10.0.0.2");
        server = QStringLiteral("10.0.0.1");
        return 0;
    }
    bool readDialUpTotals(std::uint32_t& x, std::uint32_t& r, std::uint32_t& s) override
    {
        x = xmit;
        r = recv;
        s = speed;
        return totalsReadable;
    }
    std::uint32_t queryPerfData(std::uint32_t bufferSize, RasPerfData& data) override
    {
        perfQueries.push_back(bufferSize);
        if (bufferSize < perfBufferNeeded)
            return ras::ERROR_MORE_DATA;
        data = perf;
        return 0;
    }
};

class Dialup : public ::testing::Test {
protected:
    void SetUp() override
    {
        ras = std::make_shared<ScriptedRas>();
        setRasBackend(ras);
    }
    void TearDown() override { setRasBackend(nullptr); }

    // Delivers what was posted to the component's window.
    static void deliver()
    {
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();
    }

    std::shared_ptr<ScriptedRas> ras;
};

} // namespace

TEST(DialupWithoutService, EveryOperationAnswersServiceNotAvailable)
{
    setRasBackend(nullptr);
    TRAS r;
    EXPECT_FALSE(r.CheckRAS());
    EXPECT_EQ(r.lastError(), 1157);
    EXPECT_EQ(r.Connect(), 1157);
    EXPECT_EQ(r.connectionHandle(), 0u);
    EXPECT_EQ(r.DisConnect(), 1157);
    EXPECT_EQ(r.GetConnectStatus(), 1157);
    EXPECT_EQ(r.GetConnections(), 1157);
    EXPECT_EQ(r.GetPhoneBookEntries(), -1);
    EXPECT_FALSE(r.GetEntry("Provedor"));
    EXPECT_FALSE(r.GetPhoneNo("Provedor"));
    EXPECT_EQ(r.GetIPAddress(), 1157);
    EXPECT_FALSE(r.IsConnected());
    EXPECT_FALSE(r.GetPerfStats());
    EXPECT_EQ(r.platformKind(), 4);
    EXPECT_EQ(r.CurrentStatus(), "Inativo");
    EXPECT_EQ(r.GetErrorString(678), "Nenhuma comunicação ativa.\r\nImpossibilitado de comunicar com o modem.");
    EXPECT_EQ(RasGetIPAddress(), "");
    EXPECT_GE(r.dialMessage(), 0xC000u);
}

TEST_F(Dialup, ADialFollowsItsStatesToConnectedWithOneEventEach)
{
    ras->progress = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {14, 0}, {18, 0}, {8192, 0}};
    ras->status = {8192, 0, QStringLiteral("modem"), QStringLiteral("US Robotics 56K")};
    TRAS r;
    QStringList fired;
    std::vector<int> states;
    r.OnStateChanged = [&](TRAS* s) { states.push_back(s->ConnectionState()); };
    auto record = [&](const char* name) { return [&fired, name](TRAS*) { fired << name; }; };
    r.OnAboutToOpenPort = record("AboutToOpenPort");
    r.OnPortOpened = record("PortOpened");
    r.OnAboutToConnDev = record("AboutToConnDev");
    r.OnDevConnected = record("DevConnected");
    r.OnAllDevsConnected = record("AllDevsConnected");
    r.OnAuthenticate = record("Authenticate");
    r.OnAuthenticated = record("Authenticated");
    r.OnProjected = record("Projected");
    r.OnConnect = record("Connect");
    r.EntryName = "Provedor";
    r.UserName = "maria";
    r.Password = "segredo";
    r.Domain = QString(20, QLatin1Char('d'));
    r.setPhoneBookPath("/etc/ppp/agenda");

    ASSERT_EQ(r.Connect(), 0);
    EXPECT_EQ(r.connectionHandle(), 7u);
    EXPECT_EQ(ras->dialled.entryName, "Provedor");
    EXPECT_EQ(ras->dialled.userName, "maria");
    EXPECT_EQ(ras->dialled.domain.size(), 15);
    EXPECT_EQ(ras->dialledBook, "/etc/ppp/agenda");
    EXPECT_TRUE(fired.isEmpty()) << "progress arrives through the event loop";

    deliver();
    EXPECT_EQ(fired, QStringList({"AboutToOpenPort", "PortOpened", "AboutToConnDev", "DevConnected",
                                  "AllDevsConnected", "Authenticate", "Authenticated", "Projected", "Connect"}));
    EXPECT_EQ(states, (std::vector<int>{0, 1, 2, 3, 4, 5, 14, 18, 8192}));
    EXPECT_EQ(r.ConnectionState(), 8192);
    EXPECT_EQ(r.DeviceName, "US Robotics 56K");
    EXPECT_EQ(r.MessageText(), "Conectado");
    EXPECT_EQ(r.CurrentStatus(), "");

    ras->connections = {{7, "Provedor", "modem", "US Robotics 56K"}};
    EXPECT_TRUE(r.IsConnected());
    EXPECT_EQ(r.GetIPAddress(), 0);
    EXPECT_EQ(r.ClientIP(), "10.0.0.2");
    EXPECT_EQ(r.ServerIP(), "10.0.0.1");
    EXPECT_EQ(RasGetIPAddress(), "10.0.0.2");
}

TEST_F(Dialup, AFailureNotificationSetsTheStateFromTheErrorAndFiresOnlyStateChanged)
{
    ras->progress = {{0, 0}, {2, 678}};
    ras->status = {2, 678, "modem", "Modem"};
    TRAS r;
    int changes = 0;
    int opened = 0, connecting = 0;
    r.OnStateChanged = [&](TRAS*) { ++changes; };
    r.OnAboutToOpenPort = [&](TRAS*) { ++opened; };
    r.OnAboutToConnDev = [&](TRAS*) { ++connecting; };
    ASSERT_EQ(r.Connect(), 0);
    deliver();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(connecting, 0);
    EXPECT_EQ(r.lastError(), 678);
    EXPECT_EQ(r.MessageText(), "Não houve resposta.");
    EXPECT_EQ(r.CurrentStatus(), "Não houve resposta.");
}

TEST_F(Dialup, HangingUpTellsTheDisconnectHandlerOnceAndDropsTheWindow)
{
    ras->progress = {{8192, 0}};
    TRAS r;
    std::vector<std::pair<int, QString>> disconnects;
    r.OnDisconnect = [&](TRAS*, int error, const QString& text) { disconnects.emplace_back(error, text); };
    ASSERT_EQ(r.Connect(), 0);
    deliver();
    EXPECT_EQ(r.DisConnect(), 0);
    EXPECT_EQ(ras->hungUp, std::vector<std::uint32_t>{7});
    EXPECT_EQ(r.connectionHandle(), 0u);
    ASSERT_EQ(disconnects.size(), 1u);
    EXPECT_EQ(disconnects[0].first, 6);
    EXPECT_EQ(disconnects[0].second, "Nenhuma comunicação ativa.\r\nImpossibilitado de comunicar com o modem.");
    EXPECT_EQ(r.CurrentStatus(), "Inativo");
}

TEST_F(Dialup, TheDisconnectedStateRunsTheDisconnectHandlingAndLateMessagesAreIgnored)
{
    ras->progress = {{8192, 0}, {8193, 0}};
    ras->status = {8193, 0, "modem", "Modem"};
    TRAS r;
    int disconnects = 0;
    int connects = 0;
    r.OnDisconnect = [&](TRAS*, int error, const QString&) { ++disconnects; EXPECT_EQ(error, 0); };
    r.OnConnect = [&](TRAS*) { ++connects; };
    ASSERT_EQ(r.Connect(), 0);
    deliver();
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(disconnects, 1);
    EXPECT_EQ(r.MessageText(), "Desconectado");

    // A second dial drops the open connection first, without the event.
    ras->progress.clear();
    ASSERT_EQ(r.Connect(), 0);
    EXPECT_EQ(ras->hungUp, std::vector<std::uint32_t>{7});
    EXPECT_EQ(disconnects, 1);
}

TEST_F(Dialup, DestroyingTheComponentHangsUpWithoutTheEvent)
{
    int disconnects = 0;
    {
        TRAS r;
        r.OnDisconnect = [&](TRAS*, int, const QString&) { ++disconnects; };
        ASSERT_EQ(r.Connect(), 0);
    }
    EXPECT_EQ(ras->hungUp, std::vector<std::uint32_t>{7});
    EXPECT_EQ(disconnects, 0);
}

TEST_F(Dialup, AFailedDialKeepsItsCode)
{
    ras->dialResult = 623;
    TRAS r;
    EXPECT_EQ(r.Connect(), 623);
    EXPECT_EQ(r.lastError(), 623);
    EXPECT_EQ(r.connectionHandle(), 0u);
}

TEST_F(Dialup, StateTexts)
{
    struct Case {
        std::uint16_t state;
        const char* stateString;
        const char* message;
        const char* status;
    };
    const Case cases[] = {
        {0, "Abrindo a Porta", "Abrindo porta", "Opening Port"},
        {2, "Conectando ao Dispositivo", "Conectando usando o dispositivo Modem X", "Using Device: Modem X - modem"},
        {7, "Re-autenticação", "Reautenticando", ""},
        {11, "Cálculo da velocidade da conceção", "Calculando velocidade da conexão", "Calculating Link speed"},
        {17, "esperando o Callback", "Esperando retorno de chamada", "Waiting for Callback"},
        {21, "Logon na Rede", "Logon na rede", "Client logging on to network."},
        {22, "Sub-entrada conectada", "Estado desconhecido", ""},
        {4099, "Senha Expirada", "Senha vencida", ""},
        {8193, "Desconectado", "Desconectado", ""},
        {500, "Status da Conecção # 500", "Estado desconhecido", ""},
    };
    TRAS r;
    ASSERT_EQ(r.Connect(), 0);
    for (const Case& c : cases) {
        ras->status = {c.state, 0, "modem", "Modem X"};
        EXPECT_EQ(RasConnectionStateToString(c.state), QString::fromUtf8(c.stateString)) << c.state;
        EXPECT_EQ(r.CurrentStatus(), QString::fromUtf8(c.status)) << c.state;
        EXPECT_EQ(r.MessageText(), QString::fromUtf8(c.message)) << c.state;
    }
    // A state from 601 up names its error.
    ras->status = {678, 0, "modem", "Modem X"};
    r.GetConnectStatus();
    EXPECT_EQ(r.MessageText(), "Não houve resposta.");
    // Without the service's text, the system's.
    EXPECT_EQ(r.GetErrorString(700), "system 700");

    ras->statusResult = 6;
    EXPECT_EQ(r.CurrentStatus(), "Handle inválido");
    ras->statusResult = 8;
    EXPECT_EQ(r.CurrentStatus(), "Memória insuficiente");
    ras->statusResult = 100;
    EXPECT_EQ(r.CurrentStatus(), "");
}

TEST_F(Dialup, PhoneNumberErrorsRaiseTheirExceptions)
{
    TRAS r;
    ras->entryProperties = {"27", "33334444", "modem", "Modem X"};
    ASSERT_TRUE(r.GetPhoneNo("Provedor"));
    EXPECT_EQ(r.PhoneNumber, "2733334444");
    EXPECT_EQ(r.DeviceName, "Modem X");

    auto raised = [&](std::uint32_t code) -> std::pair<QString, QString> {
        ras->entryPropertiesResult = code;
        try {
            r.GetPhoneNo("Provedor");
        } catch (const vorta::Exception& e) {
            return {QString::fromLatin1(e.className()), e.message()};
        }
        return {};
    };
    EXPECT_EQ(raised(87), std::make_pair(QString("EInvalidParameter"), QString("Invalid parameter in GetEntryInfo.")));
    EXPECT_EQ(raised(610), std::make_pair(QString("EInvalidBuffer"), QString("Invalid buffer in GetEntryInfo.")));
    EXPECT_EQ(raised(603), std::make_pair(QString("EBufferTooSmall"), QString("Buffer too small in GetEntryInfo.")));
    EXPECT_EQ(raised(621), std::make_pair(QString("ECannotOpenPhoneBook"), QString("Unable to open phonebok in GetEntryInfo.")));
    EXPECT_EQ(raised(623), std::make_pair(QString("ECannotFindEntry"), QString("Cannot find phonebook entry in GetEntryInfo.")));
    ras->entryPropertiesResult = 5;
    EXPECT_FALSE(r.GetPhoneNo("Provedor"));
}

TEST_F(Dialup, AnEntryReadsItsDialParametersAndItsNumberByPlatform)
{
    ras->entryParams = {"Provedor", "5550000", "5551111", "joao", "abc", "CASA"};
    ras->entryProperties = {"27", "33334444", "modem", "Modem X"};
    {
        ras->kind = 0;
        TRAS r;
        ASSERT_TRUE(r.GetEntry("Provedor"));
        EXPECT_EQ(r.UserName, "joao");
        EXPECT_EQ(r.CallbackNumber, "5551111");
        EXPECT_EQ(r.Domain, "CASA");
        EXPECT_EQ(r.PhoneNumber, "5550000");
    }
    {
        ras->kind = 3;
        TRAS r;
        ASSERT_TRUE(r.GetEntry("Provedor"));
        EXPECT_EQ(r.PhoneNumber, "2733334444");
    }
}

TEST_F(Dialup, ListsKeepWhatFitsAndCountTooSmallAsSuccess)
{
    TRAS r;
    for (std::uint32_t h = 1; h <= 6; ++h)
        ras->connections.push_back({h, QStringLiteral("E%1").arg(h), "modem", "M"});
    EXPECT_EQ(r.GetConnections(), 0);
    ASSERT_EQ(r.Connections.Count(), 4);
    EXPECT_EQ(r.Connections.RASConn(3), 4u);
    EXPECT_EQ(r.Connections.EntryName(0), "E1");
    EXPECT_EQ(r.Connections.EntryName(9), "");
    r.Connections.Delete(0);
    EXPECT_EQ(r.Connections.EntryName(0), "E2");

    for (int i = 0; i < 60; ++i)
        ras->entries << (i == 3 ? QString() : QStringLiteral("N%1").arg(i));
    ras->entriesReported = 60;
    ras->entriesResult = ras::ERROR_BUFFER_TOO_SMALL;
    EXPECT_EQ(r.GetPhoneBookEntries(), 60);
    EXPECT_EQ(r.PhoneBookEntries().size(), 49);
    EXPECT_FALSE(r.PhoneBookEntries().contains(QString()));
    ras->entriesResult = 621;
    EXPECT_EQ(r.GetPhoneBookEntries(), -1);
    EXPECT_TRUE(r.PhoneBookEntries().isEmpty());
}

TEST_F(Dialup, StatisticsOnWindows9xCountFromTheBaselineAndRestartWithTheAdapter)
{
    ras->kind = 1;
    ras->xmit = 1000;
    ras->recv = 2000;
    TRAS r;
    ras->xmit = 1500;
    ras->recv = 2600;
    ras->speed = 33600;
    ASSERT_TRUE(r.GetPerfStats());
    EXPECT_EQ(r.StatsXmit(), 500);
    EXPECT_EQ(r.StatsRecv(), 600);
    EXPECT_EQ(r.StatsConn(), 33600);

    ras->xmit = 10;
    ras->recv = 2700;
    ASSERT_TRUE(r.GetPerfStats());
    EXPECT_EQ(r.StatsXmit(), 0);
    EXPECT_EQ(r.StatsRecv(), 0);
    ras->xmit = 40;
    ras->recv = 2720;
    ASSERT_TRUE(r.GetPerfStats());
    EXPECT_EQ(r.StatsXmit(), 30);
    EXPECT_EQ(r.StatsRecv(), 20);

    ras->totalsReadable = false;
    EXPECT_FALSE(r.GetPerfStats());
}

TEST_F(Dialup, StatisticsOnNtGrowTheBufferAndTakeTheLargestCounters)
{
    ras->kind = 3;
    ras->perfBufferNeeded = 10000;
    ras->perf.byteCount = 4000;
    RasPerfObject object;
    object.counterDefinitions = 2;
    object.blocks = {{{872, 100}, {874, 900}}, {{872, 300}, {874, 50}}};
    ras->perf.objects = {object};
    TRAS r;
    ASSERT_TRUE(r.GetPerfStats());
    EXPECT_EQ(ras->perfQueries, (std::vector<std::uint32_t>{8192, 9216, 10240}));
    EXPECT_EQ(r.StatsXmit(), 300);
    EXPECT_EQ(r.StatsRecv(), 900);
    ras->perfQueries.clear();
    ASSERT_TRUE(r.GetPerfStats());
    EXPECT_EQ(ras->perfQueries, std::vector<std::uint32_t>{10240}) << "the size reached is kept";

    ras->perf.objects[0].counterDefinitions = 51;
    EXPECT_FALSE(r.GetPerfStats());
    ras->perf.objects[0].counterDefinitions = 2;
    ras->perf.byteCount = 99;
    EXPECT_FALSE(r.GetPerfStats());
    ras->perf.byteCount = 4000;
    ras->perf.objects.clear();
    EXPECT_FALSE(r.GetPerfStats());

    ras->kind = 4;
    TRAS other;
    EXPECT_FALSE(other.GetPerfStats());
}
