// The reference counting every object the port hands out shares: an interface's AddRef
// and Release over one count that starts at 1.
#pragma once

#include "port/Win32.h"

namespace port
{
template <class Interface> class RefCounted : public Interface
{
  public:
    ULONG AddRef() override { return ++references; }
    ULONG Release() override
    {
        // A release past zero is the caller's fault; answer it without freeing twice.
        if (references == 0)
            return 0;
        if (--references > 0)
            return references;
        return LastReference();
    }

  protected:
    ~RefCounted() override = default;
    // What the last release does; the object goes with it unless it says otherwise.
    virtual ULONG LastReference()
    {
        delete this;
        return 0;
    }

    ULONG references = 1;
};
} // namespace port
