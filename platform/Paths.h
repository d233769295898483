// Paths: splitting and joining the byte paths the operating system gives.
// Paths are never decoded: a name that is not valid UTF-8 passes unchanged.
#pragma once

#include <string>

namespace drelin::platform {

// The last component: "orders.dbf" of "/data/orders.dbf"; empty when the
// path ends with a separator.
std::string BaseName(const std::string& path);

// The folder part, without a trailing separator: "/data" of
// "/data/orders.dbf", "/" of "/orders.dbf", "." of "orders.dbf".
std::string DirName(const std::string& path);

// folder + "/" + name, without doubling a separator the folder ends with.
std::string JoinPath(const std::string& folder, const std::string& name);

}  // namespace drelin::platform
