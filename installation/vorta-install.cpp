// vorta-install DIR: lays out an installation folder and writes its registry values.

#include "InstallDatabase.h"
#include "InstallMessages.h"
#include "InstallParametros.h"

#include "platform/db/Connection.h"
#include "platform/os/Registry.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {
const char* const kFolders[] = {"modulos", "dados", "updates", "temp", "arquivos", "backup"};
const char* const kKinds[] = {"KOB", "TUV", "WEN", "HAX", "ZIR", "RUX", "LIM", "POZ"};

int fail(const QString& text)
{
    std::fprintf(stderr, "vorta-install: %s\n", text.toLocal8Bit().constData());
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Lays out a Vorta installation folder and its registry."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("installation folder"));
    QCommandLineOption registry(QStringLiteral("registry"), QStringLiteral("registry file (default: $VORTA_REGISTRY)"),
                                QStringLiteral("FILE"));
    QCommandLineOption upload(QStringLiteral("upload"),
                              QStringLiteral("upload address of a declaration kind, KIND=URL (repeatable)"),
                              QStringLiteral("KIND=URL"));
    QCommandLineOption processamento(QStringLiteral("processamento"),
                                     QStringLiteral("WSDL address of the processing-result service"),
                                     QStringLiteral("URL"));
    QCommandLineOption liveUpdate(QStringLiteral("liveupdate"), QStringLiteral("base address of the updates"),
                                  QStringLiteral("URL"));
    parser.addOptions({registry, upload, processamento, liveUpdate});
    parser.process(app);

    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("give exactly one installation folder"));
    const QString dir = QDir(parser.positionalArguments().first()).absolutePath();
    if (parser.isSet(registry))
        qputenv("VORTA_REGISTRY", QFile::encodeName(QFileInfo(parser.value(registry)).absoluteFilePath()));

    for (const char* name : kFolders)
        if (!QDir().mkpath(dir + QLatin1Char('/') + QLatin1String(name)))
            return fail(QStringLiteral("cannot create %1/%2").arg(dir, QLatin1String(name)));

    try {
        vorta::os::Registry reg;
        reg.openKey(QStringLiteral("\\Software\\Kalvi\\Vorta\\"), true);
        reg.writeString(QStringLiteral("Path"), dir + QLatin1Char('/'));
        reg.openKey(QStringLiteral("\\Software\\Kalvi\\Vorta\\Servidor\\"), true);
        for (const QString& pair : parser.values(upload)) {
            const QString kind = pair.section(QLatin1Char('='), 0, 0).trimmed();
            bool known = false;
            for (const char* k : kKinds)
                known = known || kind == QLatin1String(k);
            if (!known || !pair.contains(QLatin1Char('=')))
                return fail(QStringLiteral("unknown declaration kind in --upload %1").arg(pair));
            reg.writeString(kind, pair.section(QLatin1Char('='), 1));
        }
        if (parser.isSet(processamento))
            reg.writeString(QStringLiteral("Processamento"), parser.value(processamento));
        if (parser.isSet(liveUpdate))
            reg.writeString(QStringLiteral("LiveUpdate"), parser.value(liveUpdate));
        // The database is laid out once; a second run leaves the data as it is.
        const QString data = dir + QStringLiteral("/dados/");
        if (!QFileInfo::exists(data + QLatin1String(vorta::db::kDatabaseFileName))) {
            vorta::installation::installDatabase(data);
            vorta::installation::installMessages(data);
            vorta::installation::installParametros(data);
            vorta::installation::installIndexScript(data);
        }
    } catch (const vorta::Exception& e) {
        return fail(e.message());
    }
    std::printf("installed %s (registry %s)\n", QFile::encodeName(dir).constData(),
                QFile::encodeName(vorta::os::Registry::storePath()).constData());
    return 0;
}
