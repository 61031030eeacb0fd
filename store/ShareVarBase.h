// One shared variable of the store: an array of VarCount values of one type, named by group,
// section, name, type tag and count, living in a named shared block that every process of the
// group maps. The base holds no values of its own type; the typed classes supply the tag, the
// element size and the accessors of their type. Every accessor of another type reads 0 (false)
// and writes nothing.
#pragma once

#include "platform/Ipc.h"
#include "toolkit/Classes.h"

#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tk {
class TMemIniFile;
}
class TShareManBase;
class TSecurity;

#pragma pack(push, 1)
// Header of a variable's shared block, "Mem" + group + section + name + tag + count; the
// values (SizeOfValue x VarCount bytes, packed, little-endian) follow it.
struct ShareVarBlock {
    std::uint8_t ChangeCount; // set by every write; wraps 255 to 0
    std::uint8_t ID;          // 1 to 255 as numbered by the group's master; 0 = not numbered
};
#pragma pack(pop)
static_assert(sizeof(ShareVarBlock) == 2);
// Values are copied between the blocks and the local buffers as raw bytes, and the blocks are
// little-endian: the layout holds only on a little-endian machine.
static_assert(std::endian::native == std::endian::little);

class TShareVarBase : public tk::TComponent {
public:
    explicit TShareVarBase(tk::TComponent* AOwner);
    ~TShareVarBase() override;

    // Called by the manager when it activates and deactivates the store.
    virtual void DoMasterAllocate(std::uint8_t& counter);
    virtual void DoSlaveAllocate();
    virtual void DoDeAllocate();
    // Fires OnChange while a manager exists and is active.
    virtual void DoSignalChange();
    virtual void LoadIni(tk::TMemIniFile* ini);
    virtual void SaveIni(tk::TMemIniFile* ini);
    virtual int TestIni(tk::TMemIniFile* ini);
    virtual std::string GetVarType() const;
    virtual int SizeOfValue() const;
    // Flushes a write held since before the block was mapped; the base only clears the flag.
    virtual void ClearPendingWrite();

    // Indexed accessors; X setters write without announcing the change.
    virtual bool GetValueBoolA(int index);
    virtual void SetValueBoolA(int index, bool value);
    virtual void SetValueBoolXA(int index, bool value);
    virtual int GetValueIntA(int index);
    virtual void SetValueIntA(int index, int value);
    virtual void SetValueIntXA(int index, int value);
    virtual float GetValueFloatA(int index);
    virtual void SetValueFloatA(int index, float value);
    virtual void SetValueFloatXA(int index, float value);
    virtual double GetValueDoubleA(int index);
    virtual void SetValueDoubleA(int index, double value);
    virtual void SetValueDoubleXA(int index, double value);

    // Element-0 wrappers.
    bool GetValueBool() { return GetValueBoolA(0); }
    void SetValueBool(bool value) { SetValueBoolA(0, value); }
    void SetValueBoolX(bool value) { SetValueBoolXA(0, value); }
    int GetValueInt() { return GetValueIntA(0); }
    void SetValueInt(int value) { SetValueIntA(0, value); }
    void SetValueIntX(int value) { SetValueIntXA(0, value); }
    float GetValueFloat() { return GetValueFloatA(0); }
    void SetValueFloat(float value) { SetValueFloatA(0, value); }
    void SetValueFloatX(float value) { SetValueFloatXA(0, value); }
    double GetValueDouble() { return GetValueDoubleA(0); }
    void SetValueDouble(double value) { SetValueDoubleA(0, value); }
    void SetValueDoubleX(double value) { SetValueDoubleXA(0, value); }

    // Names and count are taken only while a manager exists and is inactive.
    const std::string& GetSecName() const { return itsSecName; }
    void SetSecName(const std::string& value);
    const std::string& GetVarName() const { return itsVarName; }
    void SetVarName(const std::string& value);
    int GetVarCount() const { return itsVarCount; }
    // Clamps to 1..128 and discards the local values (all zero afterwards).
    void SetVarCount(int value);
    // Whether the shared block is mapped: false while inactive, and while active when its
    // shared objects could not be opened.
    bool GetMapped() const { return itsBlock != nullptr; }
    // The block's ID byte; 0 while unmapped.
    std::uint8_t GetID() const;
    // Local copy of the block's ChangeCount.
    std::uint8_t GetCount() const { return itsCount; }
    bool GetSaveable() const { return itsSaveable; }
    void SetSaveable(bool value) { itsSaveable = value; }

    // Pass-throughs to the manager (0, false or "" without one).
    std::string GetGrpName();
    void SetGrpName(const std::string& value);
    bool GetMaster();
    void SetMaster(bool value);
    bool GetActive();
    void SetActive(bool value);
    int GetRegisterCount();
    bool GetDirty();
    void SetDirty(bool value);
    // The group block's master and slave counts: a master count above 0 means the driver is
    // present.
    int GetMasterCount();
    int GetSlaveCount();
    // The manager singleton, created on first use; none while designed in a form designer.
    TShareManBase* GetShareManBase();

    bool GetPendingWrite() const { return itsPendingWrite; }
    void SetPendingWrite() { itsPendingWrite = true; }

    // Address of element i in the local buffer or in the block; null when that storage is
    // absent or i is outside 0..VarCount-1.
    std::uint8_t* LocalValuePtr(int i);
    std::uint8_t* ShareValuePtr(int i);

    // Lock protocol around every copy between the local buffer and the block.
    void Lock();
    void ReadUnLock();
    void WriteUnLock();
    void WriteUnLockX();

    void DoSignalPoll();
    void DoSignalActiveChange();
    void DoSignalMasterChange();
    void DoClose();

    tk::TNotifyEvent OnChange;
    tk::TNotifyEvent OnPoll;
    tk::TNotifyEvent OnActiveChange;
    tk::TNotifyEvent OnMasterChange;

protected:
    // Shared read and write paths of the typed accessors.
    void ReadElement(int index, void* value);
    void WriteElement(int index, const void* value, bool announce);
    // Copies the whole local array into the block and announces it (typed flush).
    void FlushPendingWrite();
    // Reads [SecName] `key` as a number; false when the key is missing or its text is no number.
    bool ReadIniFloat(tk::TMemIniFile* ini, const std::string& key, double& value) const;
    // 1 when a stored number differs from the current one by 0.01 or more, else 0. NaN differs
    // from every number; a stored NaN with a current NaN is no change, as saving would not
    // change the file.
    static int FloatDiffers(double stored, double current);

private:
    std::string BlockSuffix();
    void UnlockMutex();

    std::string itsSecName = "Sec";
    std::string itsVarName = "Var";
    std::uint8_t itsCount = 0;
    ShareVarBlock* itsBlock = nullptr;
    bool itsSaveable = true;
    std::vector<std::uint8_t> itsLocal;
    int itsVarCount = 0;
    int itsElementSize = 0; // SizeOfValue, taken when the local buffer is sized
    bool itsPendingWrite = false;
    platform::Handle itsMutex = nullptr;
    platform::Handle itsMapping = nullptr;
    void* itsView = nullptr;
    std::uint8_t* itsShared = nullptr;
    std::uint32_t itsLockState = platform::kWaitTimeout;
    std::unique_ptr<TSecurity> itsSecurity;
};
