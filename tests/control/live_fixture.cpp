#include "tests/control/live_fixture.h"

#include "toolkit/Controls.h"

#include <QWidget>

namespace {

std::string Key(const std::string& sec, const std::string& name) {
    return sec + "/" + name;
}

} // namespace

LiveTest::LiveTest() : itsWatchPoly(std::make_unique<TShareVarPoly>(nullptr)) {
    // "Calib"/"State" is created by the panel and used by nothing else: the settle marker.
    Watch("Calib", "State", "Int");
}

LiveTest::~LiveTest() {
    if (itsManager)
        itsManager->SetActive(false);
    itsWatchers.clear();
    itsWatchPoly.reset();
    itsManager.reset();
}

void LiveTest::Watch(const std::string& sec, const std::string& name, const std::string& type,
                     int count) {
    Watcher& watcher = itsWatchers[Key(sec, name)];
    const std::string key = Key(sec, name);
    watcher.Var = itsWatchPoly->AddItem(
        sec, name, type, count, [this, key](tk::TObject*) { ++itsWatchers[key].Changes; }, nullptr,
        false);
}

int LiveTest::Changes(const std::string& sec, const std::string& name) const {
    const auto it = itsWatchers.find(Key(sec, name));
    return it == itsWatchers.end() ? -1 : it->second.Changes;
}

int LiveTest::ValueInt(const std::string& sec, const std::string& name) {
    return itsWatchers.at(Key(sec, name)).Var->GetValueInt();
}

void LiveTest::Activate() {
    ASSERT_TRUE(itsDriver.Start());
    itsManager = std::make_unique<TShareManager>(nullptr);
    itsManager->SetActive(true);
    ASSERT_TRUE(itsManager->GetActive());
    ASSERT_TRUE(WaitFor([this] { return itsWatchers.begin()->second.Var->GetMasterCount() > 0; }));
    Settle();
}

void LiveTest::DriverSet(const std::string& sec, const std::string& name, const std::string& value,
                         int index) {
    std::string line = "set " + sec + " " + name + " " + value;
    if (index >= 0)
        line += " " + std::to_string(index);
    ASSERT_EQ(itsDriver.Command(line), "ok") << line;
    Settle();
}

void LiveTest::DriverSetSilent(const std::string& sec, const std::string& name,
                               const std::string& value, int index) {
    const std::string line = "setx " + sec + " " + name + " " + value + " " + std::to_string(index);
    ASSERT_EQ(itsDriver.Command(line), "ok") << line;
}

// The change ring keeps the driver's order, so once the marker's change has arrived every
// change announced before it has been delivered too.
void LiveTest::Settle() {
    const int before = Changes("Calib", "State");
    ASSERT_EQ(itsDriver.Command("set Calib State " + std::to_string(++itsSettleCount)), "ok");
    ASSERT_TRUE(WaitFor([&] { return Changes("Calib", "State") > before; }));
}

QImage Snapshot(tk::TControl* control) {
    return control->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int CountPixels(const QImage& image, unsigned rgb) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFFu) == rgb)
                ++count;
    return count;
}
