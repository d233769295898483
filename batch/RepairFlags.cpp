#include "RepairFlags.h"

namespace drelin::batch {

std::atomic<bool> g_bRepairing{false};
std::atomic<bool> g_bStopRequested{false};
std::string g_strLastResult;

}  // namespace drelin::batch
