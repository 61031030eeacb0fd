// Saving, loading and comparing saveable variables with an INI file.
#include "StoreFixture.h"
#include "toolkit/IniFiles.h"

#include <QTemporaryDir>

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
    EXPECT_NE(text.find("RatioDou1=0.333333333333333\n"), std::string::npos);
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
