#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

// One test executable per folder runs the test classes of all its files; each file
// registers its class with TESSARIN_TEST.
namespace testsupport {

using Factory = std::function<std::unique_ptr<QObject>()>;

inline std::vector<Factory>& registry()
{
    static std::vector<Factory> factories;
    return factories;
}

template <class T> struct Registration
{
    Registration()
    {
        registry().push_back([] { return std::make_unique<T>(); });
    }
};

} // namespace testsupport

#define TESSARIN_TEST(Class) static const testsupport::Registration<Class> registration_##Class;
