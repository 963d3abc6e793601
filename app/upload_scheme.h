#pragma once

#include <memory>

#include "components/data/convertor.h"
#include "components/data/crc16_32.h"
#include "components/data/data_to_file.h"
#include "components/data/mem_stream.h"
#include "components/data/memory_stream.h"
#include "components/data/str_cat.h"
#include "components/data/str_mask.h"
#include "components/data/stream2hex.h"
#include "components/flow/counter.h"
#include "components/flow/do_data.h"
#include "components/flow/for_loop.h"
#include "components/flow/hub.h"
#include "components/flow/if_else.h"
#include "components/flow/mm_timer.h"
#include "core/multi_element.h"

namespace vn {

// The firmware upload: sends the carried image in blocks of 256 bytes, one
// write per byte, and sends the next block only when the device answers
// with the running CRC-16 of all bytes so far (high byte first). An answer
// of that CRC followed by "FZ" ends the transfer with "PUSK"; three silent
// ticks of the one-second watchdog, or any other answer, report a failure.
//
// Outer points on its container: doWork[0] received bytes, doWork[1] start;
// onEvent[0] acknowledged blocks, onEvent[1] bytes to send, onEvent[2]
// success, onEvent[3] failure, onEvent[4] new running CRC to store,
// onEvent[5] each reply; Data[0] the stored running CRC.
class TClassMultiElementEx_256A260 : public TClassMultiBase {
 public:
  // `image` is what the upload sends; the window program gives it the
  // carried one.
  TClassMultiElementEx_256A260(TVNMultiElementEx& container, void* ownerScheme,
                               HostWindow* parentWindow, std::unique_ptr<TMemStream> image);
  // Destroys the components newest first, the edge last.
  ~TClassMultiElementEx_256A260() override;

  std::unique_ptr<TVNEditMultiEx> EdgeComponent;  // the object the base's Edge points at
  std::unique_ptr<TVNConvertor> ByteToChar;
  std::unique_ptr<TVNDataToFile> ByteReader;
  std::unique_ptr<TVNCounter> BlockCounter;
  std::unique_ptr<TVNHub> BlockHub;
  std::unique_ptr<TVNStrMask> BlockAckMask;
  std::unique_ptr<TVNStrMask> FinalAckMask;
  std::unique_ptr<TVNHub> ReplyHub;
  std::unique_ptr<TVNMemoryStream> Firmware;
  std::unique_ptr<TVNFor> ByteLoop;
  std::unique_ptr<TVNHub> NextBlockHub;
  std::unique_ptr<TVNHub> TxHub;
  std::unique_ptr<TVNHub> FinalHub;
  std::unique_ptr<TVNDoData> LaunchData;
  std::unique_ptr<TVNCRC16_32> Crc;
  std::unique_ptr<TVNConvertor> ByteToHex;
  std::unique_ptr<TVNHub> ByteHub;
  std::unique_ptr<TVNHub> CrcHub;
  std::unique_ptr<TVNStream2Hex> ReplyToHex;
  std::unique_ptr<TVNStrCat> FinalMaskCat;
  std::unique_ptr<TVNHub> FailHub;
  std::unique_ptr<TVNMMTimer> Watchdog;
  std::unique_ptr<TVNCounter> SilenceCounter;
  std::unique_ptr<TVNHub> StartHub;
  std::unique_ptr<TVNIf_else> TimeoutCheck;
  void* OwnerScheme;
};

// The upload's creator for its container (a TCreator): it sends the
// carried image.
std::unique_ptr<TClassMultiBase> CreateUploadScheme(TVNMultiElementEx& container,
                                                    HostWindow* parentWindow,
                                                    void* ownerScheme);

}  // namespace vn
