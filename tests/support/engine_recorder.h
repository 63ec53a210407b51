#pragma once

#include "src/acquire/acquisition_engine.h"
#include "src/instrument/lamp_colours.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <map>

namespace tracely::test {

// Remembers what an acquisition engine told the panel: the light, the status-bar panels, the
// status texts, the message box and the captures drawn.
struct EngineRecorder {
    explicit EngineRecorder(AcquisitionEngine& e) {
        QObject::connect(&e, &AcquisitionEngine::lightChanged, &ctx, [this](quint32 c, bool on) {
            if (on) {
                colour = c;
            }
            lit = on;
        });
        QObject::connect(&e, &AcquisitionEngine::panelText, &ctx,
                         [this](const QString& k, const QString& t) { panels[k] = t; });
        QObject::connect(&e, &AcquisitionEngine::statusText, &ctx,
                         [this](const QString& t) { status << t; });
        QObject::connect(&e, &AcquisitionEngine::commError, &ctx, [this] { ++commErrors; });
        QObject::connect(&e, &AcquisitionEngine::captureReady, &ctx, [this] { ++captures; });
        QObject::connect(&e, &AcquisitionEngine::progressChanged, &ctx,
                         [this](int done, int total, double) {
                             if (total > 0) {
                                 ++progressReports;
                                 lastProgress = done;
                             }
                         });
    }

    QObject ctx;
    quint32 colour = 0;
    bool lit = false;
    std::map<QString, QString> panels;
    QStringList status;
    int commErrors = 0;
    int captures = 0;
    int progressReports = 0;
    int lastProgress = -1;
};

} // namespace tracely::test
