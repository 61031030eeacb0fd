// TIPDataQueue: the interface of a data queue (an activation switch, a base name, input and
// output silos and a data event) without behaviour. Every getter returns a constant, every
// setter does nothing and the data event is stored but never fired.
#pragma once

#include "toolkit/Classes.h"

#include <cstdint>
#include <functional>
#include <string>

// A data record: section, key, and up to two 32-bit integers and two doubles, with the
// counts of each that are in use.
using TDataEvent = std::function<void(tk::TObject* theSender, const std::string& theSection,
                                      const std::string& theKey, std::uint8_t theLongs,
                                      std::uint8_t theDoubles, std::int32_t theLong1,
                                      std::int32_t theLong2, double theDouble1, double theDouble2)>;

class TIPDataQueue : public tk::TComponent {
public:
    explicit TIPDataQueue(tk::TComponent* AOwner);
    ~TIPDataQueue() override;

    bool GetActive() const { return false; }
    void SetActive(bool /*value*/) {}
    std::string GetBaseName() const { return {}; }
    void SetBaseName(const std::string& /*value*/) {}
    int GetInputSiloSize() const { return 0; }
    void SetInputSiloSize(int /*value*/) {}
    int GetInputSiloSpace() const { return 0; }
    void SetInputSiloSpace(int /*value*/) {}
    int GetOutputSiloSize() const { return 0; }
    void SetOutputSiloSize(int /*value*/) {}
    int GetOutputSiloSpace() const { return 0; }
    void SetOutputSiloSpace(int /*value*/) {}

    // Assigned directly; nothing fires it.
    TDataEvent OnDataEvent;

private:
    // Held for the queue's name and silo sizes; no accessor uses them.
    std::string itsBaseName;
    int itsInputSiloSize = 0;
    int itsOutputSiloSize = 0;
    int itsSiloSpace = 0;
};
