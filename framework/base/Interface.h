#pragma once
// The base of the framework's interfaces: an object is used and destroyed through a pointer to
// its interface, and never copied.

namespace Qorv::Base
{

class Interface
{
public:
    Interface() = default;
    Interface(const Interface&) = delete;
    Interface& operator=(const Interface&) = delete;
    virtual ~Interface() = default;
};

} // namespace Qorv::Base
