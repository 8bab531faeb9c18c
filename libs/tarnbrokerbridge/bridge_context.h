// The context that the bridge keeps for each thread of its host process.
#pragma once

namespace tarn::bridge {

void*& ThreadContext();

}  // namespace tarn::bridge
