#pragma once

#include "audio/LSoundSourceBase.h"

#include <functional>
#include <memory>

// Builds an effect's processing source over an upstream source. It holds the
// effect's parameters, so rendering into a document, a dialog's Preview and
// scripts build the same chain from the same values. Open may be called any
// number of times, from any one thread at a time; the source it returns owns
// the upstream handle it was given.
class LSourceFactory {
public:
    virtual ~LSourceFactory() = default;
    virtual SourceHandle Open(SourceHandle hUpstream) const = 0;
};

using FactoryHandle = std::shared_ptr<const LSourceFactory>;

// A factory whose parameters are captured by a function.
class LFunctionFactory : public LSourceFactory {
public:
    using Fn = std::function<SourceHandle(SourceHandle)>;
    explicit LFunctionFactory(Fn fn)
        : fn(std::move(fn))
    {
    }
    SourceHandle Open(SourceHandle hUpstream) const override { return fn(std::move(hUpstream)); }

private:
    Fn fn;
};

template <class Fn> FactoryHandle MakeFactory(Fn&& fn)
{
    return std::make_shared<LFunctionFactory>(std::forward<Fn>(fn));
}
