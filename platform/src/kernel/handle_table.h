// The one table of kernel handles: files, events, threads and searches.
#pragma once

#include <windef.h>

#include <memory>

namespace ludora::kernel {

// Anything a HANDLE can name. Closing the handle drops the table's reference;
// whoever still holds the object (a running thread, a wait in progress) keeps it.
class KernelObject {
public:
    virtual ~KernelObject() = default;
};

HANDLE add_handle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> find_handle(HANDLE handle);
std::shared_ptr<KernelObject> remove_handle(HANDLE handle);

template <class T> std::shared_ptr<T> find_handle_as(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(find_handle(handle));
}

} // namespace ludora::kernel
