// The process-wide shared monitor: one counted reference to an ISharedMon,
// through which the environment's modules report their activity to a
// monitoring tool. Start-up installs the null monitor, TVoidSharedMon.
//
// Installing a monitor takes no lock: a process that installs one while
// other threads read it must do so before those threads start.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/interfaced_object.h"

namespace tarn {

class ISharedMon : public IInterface {
 public:
  static constexpr TGUID kIID{0xA2AE44DB, 0xD5DF, 0x4B7B, {0x99, 0x9F, 0xAF, 0xA7, 0xC3, 0x63, 0x04, 0xAA}};

  // The process's slot in the monitor, or -1 when it is not monitored.
  virtual int32_t AttachProcess() = 0;
  virtual void DetachProcess() = 0;
  virtual void EnterCall(int32_t call_id) = 0;
  virtual void LeaveCall(int32_t call_id) = 0;
  virtual void ConnectionOpened(int32_t connection_id) = 0;
  virtual void ConnectionClosed(int32_t connection_id) = 0;
  virtual void SetState(int32_t state) = 0;
  virtual void SetCounter(int32_t index, int32_t value) = 0;
  // A text that the monitor keeps about the process, selected by `what`.
  virtual std::string Describe(int32_t what) = 0;
  // The object that the monitor reports to, if any.
  virtual InterfacePtr<IInterface> Owner() = 0;

 protected:
  ~ISharedMon() = default;
};

// The null monitor: every operation does nothing.
class TVoidSharedMon : public TInterfacedObject<ISharedMon> {
 public:
  int32_t AttachProcess() override { return -1; }
  void DetachProcess() override {}
  void EnterCall(int32_t) override {}
  void LeaveCall(int32_t) override {}
  void ConnectionOpened(int32_t) override {}
  void ConnectionClosed(int32_t) override {}
  void SetState(int32_t) override {}
  void SetCounter(int32_t, int32_t) override {}
  std::string Describe(int32_t) override { return {}; }
  InterfacePtr<IInterface> Owner() override { return nullptr; }
};

// Makes `monitor` (possibly null) the current shared monitor. The new
// reference is added before the previous one is released.
void SetSharedMon(const InterfacePtr<ISharedMon>& monitor);
// The current shared monitor; null before start-up and after shutdown.
const InterfacePtr<ISharedMon>& SharedMon();

// Installs a new TVoidSharedMon.
void SharedMonStartup();
// Clears the current shared monitor, releasing its reference.
void SharedMonShutdown();

}  // namespace tarn
