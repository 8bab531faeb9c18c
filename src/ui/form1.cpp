#include "ui/form1.h"

#include <algorithm>

#include "platform/portable/exceptions.h"
#include "platform/file_system.h"
#include "platform/portable/int_text.h"
#include "platform/registry.h"
#include "settings/client_cfg.h"
#include "settings/server_cfg.h"
#include "settings/settings_source.h"
#include "ui/unit_conversion.h"

namespace tarn {

using namespace form1;

namespace {

constexpr char kClosingMessage[] =
    "As configura\xE7\xF5" "es s\xF3 ter\xE3o efeito se os aplicativos (server ou client) forem reiniciados";
constexpr char kCacheCleared[] = "Cache limpo";
constexpr char kStart[] = "Iniciar";
constexpr char kStop[] = "Parar";

// The busy cursor for as long as the object lives.
class BusyCursor {
 public:
  explicit BusyCursor(Toolkit& toolkit) : toolkit_(toolkit) { toolkit_.BeginBusyCursor(); }
  ~BusyCursor() { toolkit_.EndBusyCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  Toolkit& toolkit_;
};

}  // namespace

TForm1::TForm1(TApplication& application, Form1Options options)
    : application_(application), options_(std::move(options)) {
  view_ = application_.GetToolkit().CreateWindowView(Form1Window(), Form1Layout(),
                                                     [this](ControlId control) { Dispatch(control); });
  FormCreate();
}

void TForm1::Dispatch(ControlId control) {
  EventHandler handler = Form1Layout()[static_cast<size_t>(control)].handler;
  if (handler == nullptr) return;
  try {
    (static_cast<EventTarget*>(this)->*handler)();
  } catch (...) {
    application_.ShowException(std::current_exception());
  }
}

void TForm1::FormCreate() {
  service_ = ServiceLibrary::Bind(options_.service_library);
  if (service_.Bound()) {
    ShowServiceState();
    view_->SetShown(Bevel2, true);
    view_->SetShown(Button4, true);
    view_->SetShown(CheckBox8, true);
  }
  LoadClientPage();
  // Resolved against the working directory, not the executable's.
  view_->SetShown(TabSheet1, FileExists("tarnbroker.exe"));
  if (view_->Shown(TabSheet1)) {
    LoadServerPage();
    view_->SetChecked(CheckBox8, TtarnServerCfg::AsService());
  }
  view_->SetCaption(std::string(kForm1Caption) + " - ", options_.settings_dir);
}

void TForm1::LoadClientPage() {
  view_->SetText(Edit4, TtarnClientCfg::ForceAddress());
  view_->SetChecked(CheckBox2, !view_->Text(Edit4).empty());
  view_->SetChecked(CheckBox4, TtarnClientCfg::Debug());
  view_->SetChecked(CheckBox6, TtarnClientCfg::RequestCompression());
  view_->SetText(Edit8, MillisecondsToMinutesText(TtarnClientCfg::Timeout()));
  view_->SetText(Edit12, MillisecondsToMinutesText(TtarnClientCfg::UserTimeout()));
}

void TForm1::LoadServerPage() {
  view_->SetText(Edit9, IntToStr(TtarnServerCfg::LogLevel()));
  view_->SetText(Edit11, BytesToMegabytesText(TtarnServerCfg::LogSizeLimit()));
  view_->SetText(Edit10, BandwidthToKbpsText(TtarnServerCfg::MaxBandwidth()));
  view_->SetText(Edit5, IntToStr(TtarnServerCfg::Priority()));
  view_->SetChecked(CheckBox10, TtarnServerCfg::CacheEnabled());
  view_->SetChecked(CheckBox3, false);
  view_->SetChecked(CheckBox5, false);
  view_->SetChecked(CheckBox7, TtarnServerCfg::ForceCompatibility());
}

int32_t TForm1::StoredEntry(Control edit, Control label, const EntryScale& scale) const {
  std::string text = view_->Text(edit);
  if (std::optional<int32_t> stored = ScaleEntry(text, scale)) return *stored;
  std::string field = view_->Text(label);
  if (!field.empty() && field.back() == ':') field.pop_back();
  bool too_large = StrToIntDef(text, scale.fallback) > 0;
  throw Exception(field + (too_large ? ": o maior valor aceito \xE9 " + IntToStr(LargestEntry(scale))
                                     : ": o menor valor aceito \xE9 " + IntToStr(SmallestEntry(scale))) +
                  " " + scale.unit);
}

void TForm1::SaveClientPage(TIniFile& file) {
  file.WriteBool("CLIENT", "DEBUG", view_->Checked(CheckBox4));
  file.WriteString("CLIENT", "FORCEADDRESS", view_->Text(Edit4));
  file.WriteBool("CLIENT", "REQUESTCOMPRESSION", view_->Checked(CheckBox6));
  file.WriteInteger("CLIENT", "TIMEOUT", StoredEntry(Edit8, Label7, kMinutesScale));
  file.WriteInteger("CLIENT", "USERTIMEOUT", StoredEntry(Edit12, Label15, kMinutesScale));
}

void TForm1::SaveServerPage(TIniFile& file) {
  for (const char* key : {"RangeIndex", "RangeMax", "RangeStart", "RangeEnd"}) file.WriteString("QUORVAN", key, "");
  file.WriteString("SERVER", "ForceCounterAddress", "");
  file.WriteInteger("SERVER", "Priority", StrToInt(view_->Text(Edit5)));
  file.WriteBool("SERVER", "cache_enabled", view_->Checked(CheckBox10));
  file.WriteBool("SERVER", "ForceLogWrites", view_->Checked(CheckBox3));
  file.WriteBool("SERVER", "AllowRemoteShutdown", view_->Checked(CheckBox5));
  file.WriteBool("SERVER", "DALCOMPAT", view_->Checked(CheckBox7));
  file.WriteInteger("SERVER", "log_level", StrToIntDef(view_->Text(Edit9), 0));
  file.WriteInteger("SERVER", "log_size_limit", StoredEntry(Edit11, Label12, kMegabytesScale));
  file.WriteInteger("SERVER", "multi_process_mode", 2);
  file.WriteBool("SERVER", "ASSERVICE", view_->Checked(CheckBox8));
  file.WriteInteger("SERVER", "MAX_BANDWIDTH", StoredEntry(Edit10, Label10, kKbpsScale));
}

void TForm1::Button1Click() {
  // Entries too large for their stored 32 bits are refused before anything
  // is written or changed.
  bool server_page = view_->Shown(TabSheet1);
  StoredEntry(Edit8, Label7, kMinutesScale);
  StoredEntry(Edit12, Label15, kMinutesScale);
  if (server_page) {
    StoredEntry(Edit11, Label12, kMegabytesScale);
    StoredEntry(Edit10, Label10, kKbpsScale);
  }

  if (view_->Text(Edit5).empty()) view_->SetText(Edit5, "0");
  if (!view_->Checked(CheckBox2)) view_->SetText(Edit4, "");
  {
    TIniFile client(SettingsFilePath(options_.settings_dir, "tarnclient.ini"));
    SaveClientPage(client);
    client.UpdateFile();
  }
  // Whenever the server page is offered, not only when it is in front, so
  // that its edits are not lost after a look at "Cliente".
  if (server_page) {
    std::string path = SettingsFilePath(options_.settings_dir, "tarnserver.ini");
    bool creating = !FileExists(path);
    TIniFile server(path);
    // Once the file exists the registry is no longer read, so the server
    // values that came from it go into the new file first.
    if (creating) {
      for (const StoredText& stored : TtarnServerCfg::RegistryTexts()) {
        server.WriteString("SERVER", stored.key, stored.text);
      }
    }
    SaveServerPage(server);
    server.UpdateFile();
  }
  application_.ShowMessage(kClosingMessage);
  view_->Close();
}

void TForm1::Button2Click() { view_->Close(); }

void TForm1::Button3Click() {
  // Whether the key existed or not, the cache is now empty. A hive that
  // cannot be read or written raises instead.
  TRegistry registry;
  registry.DeleteKey(std::string(kSettingsKey) + "\\LOCATIONSERVICES");
  application_.ShowMessage(kCacheCleared);
}

void TForm1::ShowServiceState() {
  view_->SetText(Button4, service_.ServiceIsRunning(kServiceName) ? kStop : kStart);
}

void TForm1::Button4Click() {
  if (!service_.Bound()) return;
  // The action follows the service's present state, not a stale caption.
  ShowServiceState();
  {
    BusyCursor busy(application_.GetToolkit());
    if (view_->Text(Button4) == kStart) {
      service_.Start(kServiceName);
    } else {
      service_.Stop(kServiceName);
    }
    CheckServiceError();
  }
  ShowServiceState();
}

void TForm1::CheckBox8Click() { LoadServerPage(); }

void TForm1::CheckServiceError() {
  // Cleared first, so that a library that reports a failure without writing
  // its text shows nothing rather than stale bytes.
  ServiceErrorBuffer buffer{};
  if (!service_.GetLastSvcError(buffer)) return;
  throw Exception(std::string(buffer.begin(), std::find(buffer.begin(), buffer.end(), '\0')));
}

}  // namespace tarn
