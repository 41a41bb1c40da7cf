#include <QTimer>
#include <gtest/gtest.h>

#include "app/tessimar_application.h"
#include "recording_message_boxes.h"

namespace tessimar {
namespace {

TEST(GeneralErrorReportTest, AnEscapingExceptionIsShownAndTheProgramGoesOn) {
  testing::RecordingMessageBoxes boxes;
  QObject receiver;
  QMetaObject::invokeMethod(
      &receiver, [] { throw std::runtime_error("Unable to write to /x.ini"); }, Qt::QueuedConnection);
  QCoreApplication::processEvents();
  ASSERT_EQ(boxes.Boxes.size(), 1u);
  EXPECT_EQ(boxes.Boxes[0].kind, testing::RecordingMessageBoxes::Kind::Error);
  EXPECT_EQ(boxes.Boxes[0].text, "Unable to write to /x.ini");

  bool ran = false;
  QTimer::singleShot(0, [&ran] { ran = true; });
  QCoreApplication::processEvents();
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace tessimar
