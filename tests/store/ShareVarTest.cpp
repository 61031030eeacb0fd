// Shared variables in one process: types, block names and sizes, element access, pending
// writes, unregistered variables and the lifetime of the manager.
#include "StoreFixture.h"
#include "store/ShareVarBool.h"
#include "store/ShareVarDouble.h"
#include "store/ShareVarFloat.h"
#include "store/ShareVarInt.h"

#include <cstring>
#include <sys/stat.h>

namespace {

off_t ObjectSize(const std::string& name) {
    struct stat st {};
    const std::string path = "/dev/shm" + platform::SharedMemoryName(name);
    return stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

} // namespace

TEST_F(StoreTest, AddItemMakesTheFourTypesAndRefusesOtherNames) {
    EXPECT_NE(dynamic_cast<TShareVarBool*>(Add("S", "B", "Bool")), nullptr);
    EXPECT_NE(dynamic_cast<TShareVarInt*>(Add("S", "I", "Int")), nullptr);
    EXPECT_NE(dynamic_cast<TShareVarFloat*>(Add("S", "F", "Float")), nullptr);
    EXPECT_NE(dynamic_cast<TShareVarDouble*>(Add("S", "D", "Double")), nullptr);
    EXPECT_EQ(vars->GetVar(0)->GetVarType(), "Boo");
    EXPECT_EQ(vars->GetVar(1)->GetVarType(), "Int");
    EXPECT_EQ(vars->GetVar(2)->GetVarType(), "Flo");
    EXPECT_EQ(vars->GetVar(3)->GetVarType(), "Dou");
    for (const char* wrong : {"bool", "Integer", ""}) {
        EXPECT_EQ(Add("S", "X", wrong), nullptr) << wrong;
    }
    EXPECT_EQ(vars->GetCount(), 4);
    EXPECT_EQ(vars->GetVar(4), nullptr);
    EXPECT_EQ(vars->GetVar(-1), nullptr);
    EXPECT_EQ(Manager()->GetRegisterCount(), 4);
}

TEST_F(StoreTest, BlocksAreNamedByGroupSectionNameTagAndCountAndSizedExactly) {
    Add("Sense", "Flags", "Bool", 3);
    Add("Sense", "Pair", "Double", 2);
    Add("Graph", "Diff", "Float", 66);
    Add("S", "Zero", "Int", 0);
    Add("S", "Many", "Int", 200);
    EXPECT_EQ(vars->GetVar(3)->GetVarCount(), 1);
    EXPECT_EQ(vars->GetVar(4)->GetVarCount(), 128);
    Manager()->SetActive(true);
    ASSERT_TRUE(Manager()->GetActive());
    EXPECT_EQ(ObjectSize("MemGrp"), 1032);
    EXPECT_EQ(ObjectSize("MemGrpSenseFlagsBoo3"), 5);
    EXPECT_EQ(ObjectSize("MemGrpSensePairDou2"), 18);
    EXPECT_EQ(ObjectSize("MemGrpGraphDiffFlo66"), 266);
    EXPECT_EQ(ObjectSize("MemGrpSZeroInt1"), 6);
    EXPECT_EQ(ObjectSize("MemGrpSManyInt128"), 514);
    EXPECT_GT(ObjectSize("MutGrpSenseFlagsBoo3"), 0);
    Manager()->SetActive(false);
    EXPECT_EQ(ObjectSize("MemGrpSenseFlagsBoo3"), -1) << "the last holder removes the name";
}

TEST_F(StoreTest, ElementsAreStoredLittleEndianPackedAfterTheHeader) {
    TShareVarBase* ints = Add("S", "Ints", "Int", 2);
    TShareVarBase* flags = Add("S", "Flags", "Bool", 2);
    Manager()->SetActive(true);
    ints->SetValueIntA(1, 0x01020304);
    flags->SetValueBoolA(1, true);
    storetest::BlockView block("MemGrpSIntsInt2", 10);
    ASSERT_TRUE(block.Ok());
    const std::uint8_t expected[] = {0x04, 0x03, 0x02, 0x01};
    EXPECT_EQ(std::memcmp(block.Bytes() + 2 + 4, expected, 4), 0);
    EXPECT_EQ(block.Bytes()[0], ints->GetCount()) << "ChangeCount";
    storetest::BlockView bools("MemGrpSFlagsBoo2", 4);
    EXPECT_EQ(bools.Bytes()[3], 1);
    bools.Bytes()[2] = 7; // any non-zero byte reads as true
    EXPECT_TRUE(flags->GetValueBoolA(0));
}

TEST_F(StoreTest, VarCountClampsAndEverySetDiscardsTheValues) {
    TShareVarBase* v = Add("S", "V", "Int", 4);
    v->SetValueIntA(3, 9);
    v->SetVarCount(4);
    EXPECT_EQ(v->GetValueIntA(3), 0);
    v->SetVarCount(0);
    EXPECT_EQ(v->GetVarCount(), 1);
    v->SetVarCount(-5);
    EXPECT_EQ(v->GetVarCount(), 1);
    v->SetVarCount(129);
    EXPECT_EQ(v->GetVarCount(), 128);
}

TEST_F(StoreTest, WrongTypeAndOutOfRangeAccessorsReadZeroAndWriteNothing) {
    TShareVarBase* f = Add("S", "F", "Float", 2);
    f->SetValueInt(7);
    f->SetValueBoolX(true);
    f->SetValueDouble(3.0);
    f->SetValueFloatA(-1, 4.0f);
    f->SetValueFloatXA(2, 4.0f);
    EXPECT_FALSE(f->GetPendingWrite()) << "nothing was written";
    f->SetValueFloatA(0, 1.5f);
    EXPECT_TRUE(f->GetPendingWrite());
    EXPECT_EQ(f->GetValueInt(), 0);
    EXPECT_FALSE(f->GetValueBool());
    EXPECT_FLOAT_EQ(f->GetValueFloat(), 1.5f);
    EXPECT_EQ(f->GetValueFloatA(-1), 0.0f);
    EXPECT_EQ(f->GetValueFloatA(2), 0.0f);
    EXPECT_EQ(f->LocalValuePtr(2), nullptr);
    EXPECT_EQ(f->ShareValuePtr(0), nullptr) << "unmapped";
    f->ClearPendingWrite();
    EXPECT_TRUE(f->GetPendingWrite()) << "an unmapped flush copies nothing and keeps the flag";
}

TEST_F(StoreTest, VariableCreatedWhileActiveStaysUnregisteredAndDead) {
    int changes = 0;
    Add("S", "Live", "Int");
    Manager()->SetMaster(true);
    Manager()->SetActive(true);
    TShareVarBase* dead = Add("S", "Dead", "Int", 3, Counter(changes));
    ASSERT_NE(dead, nullptr);
    EXPECT_EQ(Manager()->GetRegisterCount(), 1);
    EXPECT_EQ(dead->GetSecName(), "Sec");
    EXPECT_EQ(dead->GetVarName(), "Var");
    EXPECT_EQ(dead->GetVarCount(), 0);
    dead->SetValueInt(5);
    EXPECT_EQ(dead->GetValueInt(), 0);
    EXPECT_FALSE(dead->GetPendingWrite());
    Manager()->SetActive(false);
    Manager()->SetActive(true);
    EXPECT_EQ(dead->GetID(), 0);
    dead->SetValueInt(5);
    Manager()->DoPoll(nullptr);
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(changes, 0);
}

TEST_F(StoreTest, NamesAndCountAreFixedWhileActive) {
    TShareVarBase* v = Add("S", "V", "Int", 2);
    Manager()->SetActive(true);
    v->SetSecName("T");
    v->SetVarName("W");
    v->SetVarCount(5);
    EXPECT_EQ(v->GetSecName(), "S");
    EXPECT_EQ(v->GetVarName(), "V");
    EXPECT_EQ(v->GetVarCount(), 2);
}

TEST_F(StoreTest, ManagerDeletesItselfWithItsLastVariableAndComesBackWithDefaults) {
    TShareVarBase* v = Add("S", "V", "Int");
    Manager()->SetGrpName("Other");
    Manager()->SetInterval(500);
    Manager()->SetFileName("x.ini");
    vars.reset();
    (void)v;
    TShareManBase* fresh = Manager();
    EXPECT_EQ(fresh->GetGrpName(), "Grp");
    EXPECT_EQ(fresh->GetInterval(), 50u);
    EXPECT_EQ(fresh->GetFileName(), "KX3.INI");
    EXPECT_FALSE(fresh->GetMaster());
    EXPECT_EQ(fresh->GetRegisterCount(), 0);
}

TEST_F(StoreTest, DeletingTheLastVariableWhileActiveDeactivatesTheStore) {
    Add("S", "V", "Int");
    Manager()->SetActive(true);
    ASSERT_EQ(Manager()->GetSlaveCount(), 1);
    {
        storetest::BlockView group("MemGrp", 1032);
        vars.reset();
        EXPECT_EQ(group.As<ShareGroupBlock>()->SlaveCount, 0);
    }
    EXPECT_FALSE(Manager()->GetActive());
}

TEST_F(StoreTest, DeletedVariableFiresNoEventsIntoItsOwner) {
    int active = 0;
    TShareVarBase* gone = Add("S", "Gone", "Int");
    Add("S", "Stays", "Int");
    gone->OnActiveChange = Counter(active);
    delete gone;
    EXPECT_EQ(vars->GetCount(), 1) << "the set forgets a variable deleted by someone else";
    Manager()->SetActive(true);
    EXPECT_EQ(active, 0);
}

TEST_F(StoreTest, PropertiesAndCountsFollowTheirRules) {
    Add("S", "V", "Int");
    TShareManBase* m = Manager();
    m->SetInterval(5);
    EXPECT_EQ(m->GetInterval(), 10u);
    m->SetInterval(5000);
    EXPECT_EQ(m->GetInterval(), 1000u);
    EXPECT_EQ(m->GetMasterCount(), 0);
    EXPECT_EQ(m->GetSlaveCount(), 0);
    int masterChanges = 0;
    vars->GetVar(0)->OnMasterChange = Counter(masterChanges);
    m->SetMaster(false);
    EXPECT_EQ(masterChanges, 0) << "unchanged";
    m->SetMaster(true);
    EXPECT_EQ(masterChanges, 1);
    m->SetActive(true);
    m->SetMaster(false);
    m->SetGrpName("Other");
    EXPECT_TRUE(m->GetMaster());
    EXPECT_EQ(m->GetGrpName(), "Grp");
    EXPECT_EQ(masterChanges, 1);
}

TEST_F(StoreTest, ActivatingTwiceOrDeactivatingTwiceFiresNothing) {
    int active = 0;
    Add("S", "V", "Int")->OnActiveChange = Counter(active);
    Manager()->SetActive(false);
    EXPECT_EQ(active, 0);
    Manager()->SetActive(true);
    Manager()->SetActive(true);
    EXPECT_EQ(active, 1);
    Manager()->SetActive(false);
    Manager()->SetActive(false);
    EXPECT_EQ(active, 2);
}

TEST_F(StoreTest, FailedActivationLeavesTheManagerClosedAndSilent) {
    int active = 0;
    Add("S", "V", "Int")->OnActiveChange = Counter(active);
    Manager()->SetGrpName("Bad/Name");
    Manager()->SetActive(true);
    EXPECT_FALSE(Manager()->GetActive());
    EXPECT_EQ(active, 0);
    Manager()->SetGrpName(std::string(300, 'G'));
    Manager()->SetActive(true);
    EXPECT_FALSE(Manager()->GetActive());
    Manager()->SetGrpName("Grp");
    Manager()->SetActive(true);
    EXPECT_TRUE(Manager()->GetActive()) << "activation can be tried again";
}

TEST_F(StoreTest, WriteWhileInactiveIsPendingAndTheFirstPollFlushesTheWholeArray) {
    TShareVarBase* arr = Add("Sec", "Arr", "Float", 8);
    arr->SetValueFloatXA(5, 2.5f); // silent, but pending writes are always announced
    EXPECT_TRUE(arr->GetPendingWrite());
    EXPECT_FLOAT_EQ(arr->GetValueFloatA(5), 2.5f);
    storetest::BlockView block("MemGrpSecArrFlo8", 34);
    ASSERT_TRUE(block.Ok());
    auto value = [&](int i) { return storetest::Load<float>(block.Bytes() + 2 + 4 * i); };
    for (int i = 0; i < 8; ++i) {
        storetest::Store(block.Bytes() + 2 + 4 * i, 9.0f);
    }
    Manager()->SetMaster(true);
    Manager()->SetActive(true);
    EXPECT_FLOAT_EQ(arr->GetValueFloatA(5), 2.5f) << "a master reads its own pending value";
    EXPECT_FLOAT_EQ(value(5), 9.0f);
    const std::uint8_t countBefore = block.Bytes()[0];
    Manager()->DoPoll(nullptr);
    EXPECT_FALSE(arr->GetPendingWrite());
    EXPECT_FLOAT_EQ(value(5), 2.5f);
    for (int i : {0, 1, 2, 3, 4, 6, 7}) {
        EXPECT_FLOAT_EQ(value(i), 0.0f) << i;
    }
    EXPECT_EQ(block.Bytes()[0], static_cast<std::uint8_t>(countBefore + 1));
    int changes = 0;
    arr->OnChange = Counter(changes);
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(changes, 1) << "announced, received one poll later";
}

TEST_F(StoreTest, SlaveReadingAPendingElementTakesTheBlockValueBeforeTheFlush) {
    TShareVarBase* v = Add("S", "V", "Int");
    v->SetValueInt(5);
    storetest::BlockView block("MemGrpSVInt1", 6);
    storetest::Store<std::int32_t>(block.Bytes() + 2, 77);
    Manager()->SetActive(true); // as slave
    EXPECT_EQ(v->GetValueInt(), 77);
    Manager()->DoPoll(nullptr);
    EXPECT_EQ(storetest::Load<std::int32_t>(block.Bytes() + 2), 77);
    EXPECT_FALSE(v->GetPendingWrite());
}

TEST_F(StoreTest, ChangeCountIsOwnCountPlusOneAndWraps) {
    TShareVarBase* v = Add("S", "V", "Int");
    storetest::BlockView block("MemGrpSVInt1", 6);
    block.Bytes()[0] = 250;
    Manager()->SetActive(true);
    EXPECT_EQ(v->GetCount(), 250);
    for (int i = 0; i < 6; ++i) {
        v->SetValueIntX(i);
    }
    EXPECT_EQ(block.Bytes()[0], 0) << "wrapped 255 to 0";
    block.Bytes()[0] = 100; // another process wrote; this one has not read since
    v->SetValueIntX(1);
    EXPECT_EQ(block.Bytes()[0], 1) << "own count plus one, not the block's";
    v->GetValueInt();
    EXPECT_EQ(v->GetCount(), 1);
}
