// Saving, loading and comparing saveable variables with an INI file.
#include "StoreFixture.h"
#include "toolkit/IniFiles.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <fstream>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

} // namespace

class StoreIniTest : public StoreTest {
protected:
    std::string Path(const std::string& name) const {
        return dir.path().toStdString() + "/" + name;
    }
    QTemporaryDir dir;
};

TEST_F(StoreIniTest, SaveIniWritesElementZeroOfSaveableVariablesOnly) {
    Add("Sense", "FixedThreshold", "Float")->SetValueFloat(0.25f);
    Add("Sense", "Quad", "Int", 4)->SetValueIntA(0, 42);
    vars->GetVar(1)->SetValueIntA(3, 9);
    Add("Status", "Flag", "Bool", 1, nullptr, nullptr, false)->SetValueBool(true);
    Add("Sense", "Ratio", "Double")->SetValueDouble(1.0 / 3.0);
    Manager()->SetFileName(Path("a.ini"));
    Manager()->SaveIni();
    const std::string text = ReadAll(Path("a.ini"));
    EXPECT_NE(text.find("[Sense]"), std::string::npos);
    EXPECT_NE(text.find("FixedThresholdFlo1=0.25\n"), std::string::npos);
    EXPECT_NE(text.find("QuadInt4=42\n"), std::string::npos);
    EXPECT_NE(text.find("RatioDou1=0.3333333333333333\n"), std::string::npos)
        << "more than 15 digits only where 15 would not read back exactly";
    EXPECT_EQ(text.find("Flag"), std::string::npos) << "not saveable";
    Manager()->SaveAll(Path("b.ini"));
    EXPECT_NE(ReadAll(Path("b.ini")).find("FlagBoo1=1"), std::string::npos);
}

TEST_F(StoreIniTest, LoadIniReadsBackAndAnnouncesEveryLoadedVariable) {
    WriteAll(Path("c.ini"), "[sense]\nfixedthresholdflo1 = 0.75\nCountInt1=abc\n");
    TShareVarBase* f = Add("Sense", "FixedThreshold", "Float");
    TShareVarBase* n = Add("Sense", "Count", "Int");
    TShareVarBase* b = Add("Sense", "Missing", "Bool");
    n->SetValueInt(5);
    b->SetValueBool(true);
    int changes = 0;
    b->OnChange = Counter(changes);
    Manager()->SetMaster(true);
    Manager()->SetActive(true);
    Manager()->DoPoll(nullptr); // flushes the pending writes
    Manager()->DoPoll(nullptr); // and delivers their announcements
    changes = 0;
    Manager()->SetFileName(Path("c.ini"));
    Manager()->LoadIni();
    EXPECT_FLOAT_EQ(f->GetValueFloat(), 0.75f);
    EXPECT_EQ(n->GetValueInt(), 5) << "an unparsable text reads as the current value";
    EXPECT_TRUE(b->GetValueBool());
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(changes, 1) << "a missing key still announces its unchanged value";
}

TEST_F(StoreIniTest, TestIniCountsDifferencesWithATolerance) {
    TShareVarBase* f = Add("S", "F", "Float");
    TShareVarBase* i = Add("S", "I", "Int");
    TShareVarBase* b = Add("S", "B", "Bool");
    Add("S", "Skip", "Int", 1, nullptr, nullptr, false);
    f->SetValueFloat(0.5f);
    i->SetValueInt(3);
    b->SetValueBool(false);
    tk::TMemIniFile ini(Path("none.ini"));
    EXPECT_EQ(Manager()->TestIni(&ini), 3) << "missing keys differ; unsaveable is skipped";
    ini.WriteString("S", "FFlo1", "0.505");
    ini.WriteString("S", "IInt1", "3");
    ini.WriteString("S", "BBoo1", "0");
    EXPECT_EQ(Manager()->TestIni(&ini), 0);
    ini.WriteString("S", "FFlo1", "0.51");
    ini.WriteString("S", "BBoo1", "2");
    EXPECT_EQ(Manager()->TestIni(&ini), 2);

    // NaN differs from every number; a stored NaN with a current NaN is no change.
    TShareVarBase* d = Add("S", "D", "Double");
    ini.WriteString("S", "BBoo1", "0");
    const struct {
        const char* stored;
        double current;
        int differences;
    } rows[] = {{"nan", 150, 2}, {"150", NAN, 2}, {"nan", NAN, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.stored) + " stored");
        f->SetValueFloat(static_cast<float>(row.current));
        d->SetValueDouble(row.current);
        ini.WriteString("S", "FFlo1", row.stored);
        ini.WriteString("S", "DDou1", row.stored);
        EXPECT_EQ(Manager()->TestIni(&ini), row.differences);
    }
}

TEST_F(StoreIniTest, TwinsWriteOneKeyAndTheLaterWins) {
    Add("S", "V", "Int")->SetValueInt(1);
    Add("S", "V", "Int")->SetValueInt(2);
    tk::TMemIniFile ini(Path("t.ini"));
    Manager()->SaveIni(&ini);
    EXPECT_EQ(ini.ReadInteger("S", "VInt1", 0), 2);
}

TEST_F(StoreIniTest, EmptyFileNameDoesNothingAndAWriteFailureRaises) {
    Add("S", "V", "Int");
    Manager()->SetFileName("");
    Manager()->SaveIni();
    Manager()->LoadIni();
    EXPECT_EQ(Manager()->TestIni(), 0);
    Manager()->SetFileName(Path("no/such/dir/x.ini"));
    EXPECT_THROW(Manager()->SaveIni(), tk::Exception);
    EXPECT_THROW(Manager()->SaveAll(Path("no/such/dir/y.ini")), tk::Exception);
    EXPECT_NO_THROW(Manager()->SaveAll(""));
}

// Save followed by a test of the file finds nothing and a load changes nothing, across the range
// of both types; a missing key differs whatever the value.
TEST_F(StoreIniTest, SavedValuesTestEqualAndLoadBackExactlyAcrossTheRange) {
    const double values[] = {0,       1e-30,    -1e-30,  0.1,       250,          1e15,
                             1e16,    1e20,     1.0 / 3, 1e17 + 16, FLT_MAX,      -FLT_MAX,
                             DBL_MAX, -DBL_MAX, FLT_MIN, 1e-40,     FLT_TRUE_MIN, DBL_TRUE_MIN};
    for (const double value : values) {
        SCOPED_TRACE(value);
        auto* f = Add("S", "F", "Float");
        auto* d = Add("S", "D", "Double");
        const auto single = static_cast<float>(std::clamp<double>(value, -FLT_MAX, FLT_MAX));
        f->SetValueFloat(single);
        d->SetValueDouble(value);
        Manager()->SetFileName(Path("range.ini"));
        Manager()->SaveIni();
        EXPECT_EQ(Manager()->TestIni(), 0);
        f->SetValueFloat(single == 0 ? 1 : 0);
        d->SetValueDouble(value == 0 ? 1 : 0);
        Manager()->LoadIni();
        EXPECT_EQ(f->GetValueFloat(), single);
        EXPECT_EQ(d->GetValueDouble(), value);
        tk::TMemIniFile empty(Path("empty.ini"));
        EXPECT_EQ(Manager()->TestIni(&empty), 2);
        vars = std::make_unique<TShareVarPoly>(nullptr);
    }
}

TEST_F(StoreIniTest, AFileWrittenWithFifteenDigitsLoadsTheSameValues) {
    WriteAll(Path("old.ini"), "[S]\nAFlo1=0.100000001490116\nBFlo1=3.40282346638529e+38\n"
                              "CFlo1=1.40129846432482e-45\nDFlo1=1.00000002004088e+20\n"
                              "EDou1=0.333333333333333\nFDou1=1e+16\n");
    const char* floats[] = {"A", "B", "C", "D"};
    for (const char* name : floats) {
        Add("S", name, "Float");
    }
    Add("S", "E", "Double");
    Add("S", "F", "Double");
    Manager()->SetFileName(Path("old.ini"));
    Manager()->LoadIni();
    EXPECT_EQ(vars->GetVar(0)->GetValueFloat(), 0.1f);
    EXPECT_EQ(vars->GetVar(1)->GetValueFloat(), FLT_MAX);
    EXPECT_EQ(vars->GetVar(2)->GetValueFloat(), FLT_TRUE_MIN);
    EXPECT_EQ(vars->GetVar(3)->GetValueFloat(), 1e20f);
    EXPECT_EQ(vars->GetVar(4)->GetValueDouble(), 0.333333333333333);
    EXPECT_EQ(vars->GetVar(5)->GetValueDouble(), 1e16);
    EXPECT_EQ(Manager()->TestIni(), 0);
}
