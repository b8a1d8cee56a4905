#pragma once
// The open windows that receive parameter values, in the order they were opened, and one listener that hears
// every value delivered to them (the change log, which takes a delivery after a write as the board's answer).

#include "Delivery.h"

#include <algorithm>
#include <vector>

namespace vm {

class FormList {
public:
    void add(DeliveryTarget* form) {
        if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(form);
    }
    void remove(DeliveryTarget* form) { std::erase(forms_, form); }

    // Delivers to every open form in opening order. A form may close itself while it handles the value,
    // so the list is copied first.
    void deliverToAll(int index, const ParamData& value) const {
        const auto snapshot = forms_;
        for (DeliveryTarget* form : snapshot)
            if (std::find(forms_.begin(), forms_.end(), form) != forms_.end()) form->deliver(index, value);
        if (listener_) listener_->deliver(index, value);
    }
    void setListener(DeliveryTarget* listener) { listener_ = listener; }
    const std::vector<DeliveryTarget*>& forms() const { return forms_; }

private:
    std::vector<DeliveryTarget*> forms_;
    DeliveryTarget* listener_ = nullptr;
};

} // namespace vm
