// The stand-in driver's live side of the calibration, graph and monitor sections, seen through
// the control panel's pages.
#include "components/KX3_Graph.h"
#include "components/KX3_GraphItem.h"
#include "control/KXB3_Calib.h"
#include "control/KXB3_CalibScreen.h"
#include "control/KXB3_Graph.h"
#include "control/KXB3_Monitor.h"
#include "tests/control/live_fixture.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <fstream>
#include <vector>

using namespace tk;

namespace {

std::string CalibrationFile(const DriverProcess& driver) {
    const std::string ini = driver.IniPath();
    return ini.substr(0, ini.rfind('/') + 1) + "QUILBEX_Calibration.ini";
}

bool Exists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

} // namespace

class LiveCalibration : public LiveTest {
protected:
    LiveCalibration() {
        Watch("Calib", "Busy", "Bool");
        itsCalib = std::make_unique<TKXBW3_Calib>(nullptr);
        KXBW3_CalibScreen = new TKXBW3_CalibScreen(nullptr);
        itsScreen = KXBW3_CalibScreen;
    }
    ~LiveCalibration() override {
        delete KXBW3_CalibScreen;
        KXBW3_CalibScreen = nullptr;
    }

    void SetUp() override {
        Activate();
        ASSERT_TRUE(itsDriver.Live(true));
    }

    std::unique_ptr<TKXBW3_Calib> itsCalib;
    TKXBW3_CalibScreen* itsScreen;
};

TEST_F(LiveCalibration, ARunTouchesTheThreeTargetsInTurnAndStoresTheCalibration) {
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Calibrate", "Ref_TL_X"), 0.1f);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Calibrate", "Ref_TR_X"), 0.9f);
    EXPECT_FLOAT_EQ(itsDriver.GetFloat("Calibrate", "Ref_BL_Y"), 0.9f);
    ASSERT_TRUE(itsDriver.Set("Status", "LockCalibrate", "1"));

    itsCalib->StartCalibrationPanelClick(nullptr);
    ASSERT_TRUE(itsScreen->GetVisible());
    TKX3_TargetGauge* targets[] = {itsScreen->KX3_TargetGauge1, itsScreen->KX3_TargetGauge2,
                                   itsScreen->KX3_TargetGauge3};
    // Each target shows while it is held, one after the other, its ring following the count.
    std::vector<int> order;
    int highest[3] = {-1, -1, -1};
    bool together = false;
    ASSERT_TRUE(WaitFor(
        [&] {
            int visible = 0;
            for (int i = 0; i < 3; ++i) {
                if (!targets[i]->GetVisible())
                    continue;
                ++visible;
                highest[i] = std::max(highest[i], targets[i]->GetPosition());
                if (order.empty() || order.back() != i)
                    order.push_back(i);
            }
            together = together || visible > 1;
            return !itsScreen->GetVisible();
        },
        20000));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
    EXPECT_FALSE(together);
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(highest[i], 50) << i;
    EXPECT_FALSE(itsDriver.GetBool("Calib", "Busy"));
    EXPECT_FALSE(itsDriver.GetBool("Calib", "Start"));
    EXPECT_EQ(itsDriver.GetInt("Status", "LockCalibrate"), 0);
    EXPECT_TRUE(Exists(CalibrationFile(itsDriver)));
}

TEST_F(LiveCalibration, CancelEndsTheRunAtOnceAndStoresNothing) {
    itsCalib->StartCalibrationPanelClick(nullptr);
    ASSERT_TRUE(WaitFor([&] { return itsDriver.GetInt("Calib", "Count0") >= 10; }));
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    QApplication::sendEvent(itsScreen->Widget(), &escape);
    EXPECT_FALSE(itsScreen->GetVisible());
    ASSERT_TRUE(WaitFor([&] { return !itsDriver.GetBool("Calib", "Busy"); }, 3000));
    EXPECT_FALSE(itsDriver.GetBool("Calib", "Cancel"));
    EXPECT_EQ(itsDriver.GetInt("Calib", "Count0"), -1);
    EXPECT_FALSE(Exists(CalibrationFile(itsDriver)));

    // A later start runs again from the first target.
    itsCalib->StartCalibrationPanelClick(nullptr);
    ASSERT_TRUE(WaitFor([&] { return itsDriver.GetBool("Calib", "Busy"); }));
    EXPECT_LE(itsDriver.GetInt("Calib", "Count0"), 10);
}

class LiveDisplays : public LiveTest {
protected:
    LiveDisplays()
        : itsGraph(std::make_unique<TKXBW3_Graph>(nullptr)),
          itsMonitor(std::make_unique<TKXBW3_Monitor>(nullptr)) {}

    void SetUp() override {
        Activate();
        ASSERT_TRUE(itsDriver.Live(true));
    }

    std::unique_ptr<TKXBW3_Graph> itsGraph;
    std::unique_ptr<TKXBW3_Monitor> itsMonitor;
};

TEST_F(LiveDisplays, GraphsShowSensorNoiseWithABumpAndStrokesReachTheMonitor) {
    ASSERT_TRUE(WaitFor([&] {
        return itsGraph->KX3_Graph1->GetLength() == 32 && itsGraph->KX3_Graph2->GetLength() == 32;
    }));
    // Within a stroke cycle the finger presses: a bump on both graphs and a press on the
    // monitor.
    float highest = 0;
    ASSERT_TRUE(WaitFor(
        [&] {
            for (TKX3_Graph* graph : {itsGraph->KX3_Graph1, itsGraph->KX3_Graph2})
                for (int i = 0; i < graph->ComponentCount(); ++i)
                    if (auto* item = dynamic_cast<TKX3_GraphItem*>(graph->Component(i))) {
                        EXPECT_GE(item->GetPosition(), -10.0f);
                        EXPECT_LE(item->GetPosition(), 400.0f);
                        highest = std::max(highest, item->GetPosition());
                    }
            return highest > 100 && itsMonitor->GetClearCountdown() == 60;
        },
        12000));
}

// The driver program itself, started as the control panel starts it (no arguments but its INI
// file), asks for a calibration until one is stored.
class LiveStart : public LiveTest {
protected:
    LiveStart() {
        Watch("Status", "LockCalibrate", "Int");
        Watch("Grapher0", "Length", "Int");
    }
    ~LiveStart() override {
        itsProcess.terminate();
        itsProcess.waitForFinished(5000);
    }

    void StartLiveDriver() {
        ASSERT_TRUE(itsDir.isValid());
        itsProcess.start(QString::fromStdString(DriverProcess::ProgramPath()),
                         {"--ini", itsDir.filePath("QUILBEX.INI")});
        ASSERT_TRUE(itsProcess.waitForStarted());
        itsManager.SetActive(true);
        ASSERT_TRUE(itsManager.GetActive());
    }

    std::string CalibrationPath() const {
        return itsDir.filePath("QUILBEX_Calibration.ini").toStdString();
    }

    QTemporaryDir itsDir;
    QProcess itsProcess;
    TShareManager itsManager{nullptr};
};

TEST_F(LiveStart, AFirstStartWithoutACalibrationAsksForOne) {
    StartLiveDriver();
    EXPECT_TRUE(WaitFor([&] { return ValueInt("Status", "LockCalibrate") == 1; }));
}

TEST_F(LiveStart, AStoredCalibrationIsNotAskedForAgain) {
    std::ofstream(CalibrationPath()) << "[Calibration]\n";
    StartLiveDriver();
    // A few rows of the graphs mean the driver has ticked many times.
    ASSERT_TRUE(WaitFor([&] { return Changes("Grapher0", "Length") >= 3; }));
    EXPECT_EQ(Changes("Status", "LockCalibrate"), 0);
    EXPECT_EQ(ValueInt("Status", "LockCalibrate"), 0);
}
