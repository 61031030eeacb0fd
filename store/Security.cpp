#include "store/Security.h"

#include <new>

TSecurity::TSecurity() {
    CreateSecurityAttributes();
}

TSecurity::~TSecurity() {
    DestroySecurityAttributes();
}

void TSecurity::CreateSecurityAttributes() {
    DestroySecurityAttributes();
    itsAttributes = new (std::nothrow) platform::SecurityAttributes;
    if (itsAttributes == nullptr) {
        return;
    }
    itsAttributes->Length = sizeof(platform::SecurityAttributes);
    itsAttributes->InheritHandle = true;
    itsAttributes->Descriptor = new (std::nothrow) platform::SecurityDescriptor;
    if (itsAttributes->Descriptor != nullptr &&
        platform::InitializeSecurityDescriptor(itsAttributes->Descriptor,
                                               platform::kSecurityDescriptorRevision) &&
        platform::SetSecurityDescriptorDacl(itsAttributes->Descriptor, true, nullptr, false)) {
        return;
    }
    DestroySecurityAttributes();
}

void TSecurity::DestroySecurityAttributes() {
    if (itsAttributes == nullptr) {
        return;
    }
    delete itsAttributes->Descriptor;
    delete itsAttributes;
    itsAttributes = nullptr;
}
