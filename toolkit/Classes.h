// Non-visual core of the component library: objects, owned components, bound events and the
// library's exception type. Everything visual builds on these.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tk {

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

// An event handler: a closure bound to its object that takes the sender. Empty means
// "unassigned".
using TNotifyEvent = std::function<void(TObject* Sender)>;

// Binds a member function to its object, the way the library's closures do.
template <class T, class... Args> auto Bind(T* object, void (T::*method)(Args...)) {
    return [object, method](Args... args) { (object->*method)(args...); };
}

// The library's exception type; programs catch it in their main function and show it.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

enum class TComponentState { Normal, Designing };

// A component owns the components created with it as owner and destroys them with itself,
// the last created first. A component destroyed on its own leaves its owner's list.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* GetOwner() const { return itsOwner; }
    const std::string& GetName() const { return itsName; }
    void SetName(const std::string& name) { itsName = name; }
    int ComponentCount() const { return static_cast<int>(itsComponents.size()); }
    TComponent* Component(int index) const { return itsComponents.at(index); }

    // No form designer exists at run time, so this is Normal unless a test sets it.
    TComponentState ComponentState() const { return itsState; }
    void SetComponentState(TComponentState state) { itsState = state; }

protected:
    // Called on the owner just before an owned component leaves it.
    virtual void ComponentRemoved(TComponent* /*component*/) {}

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);

    TComponent* itsOwner = nullptr;
    std::string itsName;
    std::vector<TComponent*> itsComponents;
    TComponentState itsState = TComponentState::Normal;
};

} // namespace tk
