#pragma once
// Holds one reference to a reference-counted object and releases it when it goes away, so every
// failure path of texture creation lets go of what it made.

#include <utility>

template <typename T> class ComReference {
public:
    ComReference() = default;
    explicit ComReference(T* object) : object_(object) {}
    ~ComReference() { Reset(); }
    ComReference(const ComReference&) = delete;
    ComReference& operator=(const ComReference&) = delete;
    ComReference(ComReference&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComReference& operator=(ComReference&& other) noexcept {
        if (this != &other) {
            Reset();
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }

    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // For functions that return a new reference through a T**; any held reference is released.
    T** Out() {
        Reset();
        return &object_;
    }

    // Gives the reference to the caller.
    T* Detach() { return std::exchange(object_, nullptr); }

    void Reset() {
        if (object_)
            std::exchange(object_, nullptr)->Release();
    }

private:
    T* object_ = nullptr;
};
