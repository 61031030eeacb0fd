// Security attributes for the store's named objects: a descriptor with a null access list, so
// that every process, under whatever account, can open the objects (permissions 0666).
#pragma once

#include "platform/Ipc.h"

class TSecurity {
public:
    TSecurity();
    virtual ~TSecurity();
    TSecurity(const TSecurity&) = delete;
    TSecurity& operator=(const TSecurity&) = delete;

    // Builds the attributes and their descriptor; on any failure frees what was built.
    void CreateSecurityAttributes();
    // Frees the descriptor and the attributes; does nothing when there are none.
    void DestroySecurityAttributes();
    // The attributes to pass to every create call, or null when building failed.
    platform::SecurityAttributes* GetSecurity() const { return itsAttributes; }

private:
    platform::SecurityAttributes* itsAttributes = nullptr;
};
