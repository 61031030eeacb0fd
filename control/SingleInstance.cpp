#include "control/SingleInstance.h"

TSingleInstance::TSingleInstance() {
    bool alreadyExisted = false;
    Mutex =
        platform::CreateNamedMutex(Attributes.GetSecurity(), "KX3_CONTROL_INST", &alreadyExisted);
    // A failed creation leaves LastError 0: the program then runs as the first copy.
    LastError = (Mutex != nullptr && alreadyExisted) ? ERROR_ALREADY_EXISTS : 0;
}

TSingleInstance::~TSingleInstance() {
    if (Mutex != nullptr)
        platform::CloseNamedHandle(Mutex);
}
