#pragma once

#include <QString>
#include <QStringList>

namespace vorta::testing {

// Whether this test program runs on a real window system rather than headless.
bool onRealWindowSystem();

struct VirtualXRun {
    bool available = false; // xvfb-run is installed
    bool finished = false;  // the run ended within its time
    int exitCode = -1;
    QString output;
};

// Runs this test program again under a virtual X server (xvfb-run, a 1024x768
// screen, Qt's xcb platform) with the given test filter, so pictures can be drawn
// by a real X server for a person to look at. The files the run is to make are
// removed first, so none is left over from an earlier run.
VirtualXRun rerunUnderVirtualXServer(const QString& gtestFilter, const QStringList& madeFiles = {});

} // namespace vorta::testing
