#pragma once
// How a parameter value reaches an editor window: a number for 1..4-byte parameters, a text for longer ones.

#include <string>
#include <variant>

namespace vm {

using ParamData = std::variant<double, std::string>;

// Implemented by every window that shows parameters. The window guards its own controls while it handles
// a delivery, so that a delivered value is never written back.
class DeliveryTarget {
public:
    virtual ~DeliveryTarget() = default;
    virtual void deliver(int index, const ParamData& value) = 0;
};

} // namespace vm
