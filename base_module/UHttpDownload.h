#pragma once

#include "platform/core/Component.h"
#include "platform/net/Http.h"
#include "platform/ui/Memo.h"

#include <QString>

// Fetches one file over HTTP into FileName, writing its progress to a log memo.
class THttpDownload : public vorta::Component {
public:
    explicit THttpDownload(vorta::Component* owner = nullptr);

    QString FileName;
    vorta::ui::Memo* LogMemo = nullptr;
    vorta::net::HttpClient HttpCli;

    // Only a whole body answered with status 200 reaches FileName: it is written under
    // a temporary name and put in place when complete. Any other answer raises, and
    // FileName is left as it was.
    void Download(const QString& URL);
    void Log(const QString& text);
    void SetProxy(bool use, vorta::net::ProxyAuth options, const QString& password, const QString& userName, int port,
                  const QString& host);
};
