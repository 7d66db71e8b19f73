// The property stream format: every value kind round-trips, bad bytes give errors.
#include "components/persistence.h"

#include <gtest/gtest.h>

namespace vardel {
namespace {

TEST(PropertyStream, EveryValueKindComesBackInOrder) {
  PropertyWriter writer(QStringLiteral("TSlider"), QStringLiteral("Slider1"));
  writer.writeInteger(QStringLiteral("Value"), -123456);
  writer.writeBoolean(QStringLiteral("Visible"), false);
  writer.writeBoolean(QStringLiteral("Enabled"), true);
  writer.writeString(QStringLiteral("Hint"), QStringLiteral("Posición ñ"));
  writer.writeIdent(QStringLiteral("Orientation"), QStringLiteral("soVertical"));
  writer.writeSet(QStringLiteral("Options"), {QStringLiteral("soShowFocus"), QStringLiteral("soSmooth")});
  writer.writeSet(QStringLiteral("Empty"), {});
  writer.writeBinary(QStringLiteral("UserImages"), QByteArray(1, char(5)));
  const QByteArray stream = writer.finish();

  PropertyReader reader(stream);
  QString className, objectName;
  ASSERT_TRUE(reader.readHeader(className, objectName));
  EXPECT_EQ(className, QStringLiteral("TSlider"));
  EXPECT_EQ(objectName, QStringLiteral("Slider1"));
  QString name;
  PropertyValue v;
  ASSERT_TRUE(reader.next(name, v));
  EXPECT_EQ(name, QStringLiteral("Value"));
  EXPECT_EQ(v.type, PropertyValue::Type::Integer);
  EXPECT_EQ(v.integer, -123456);
  ASSERT_TRUE(reader.next(name, v));
  EXPECT_EQ(v.type, PropertyValue::Type::Boolean);
  EXPECT_FALSE(v.boolean);
  ASSERT_TRUE(reader.next(name, v));
  EXPECT_TRUE(v.boolean);
  ASSERT_TRUE(reader.next(name, v));
  EXPECT_EQ(v.type, PropertyValue::Type::String);
  EXPECT_EQ(v.text, QStringLiteral("Posición ñ"));
  ASSERT_TRUE(reader.next(name, v));
  EXPECT_EQ(v.type, PropertyValue::Type::Ident);
  EXPECT_EQ(v.text, QStringLiteral("soVertical"));
  ASSERT_TRUE(reader.next(name, v));
  EXPECT_EQ(v.type, PropertyValue::Type::Set);
  EXPECT_EQ(v.set, QStringList({QStringLiteral("soShowFocus"), QStringLiteral("soSmooth")}));
  ASSERT_TRUE(reader.next(name, v));
  EXPECT_TRUE(v.set.isEmpty());
  ASSERT_TRUE(reader.next(name, v));
  EXPECT_EQ(name, QStringLiteral("UserImages"));
  EXPECT_EQ(v.type, PropertyValue::Type::Binary);
  EXPECT_EQ(v.binary, QByteArray(1, char(5)));
  EXPECT_FALSE(reader.next(name, v));  // end of the object
  EXPECT_TRUE(reader.error().isEmpty());
}

TEST(PropertyStream, BadBytesEndTheReadingWithAnError) {
  QString className, objectName, name;
  PropertyValue v;
  PropertyReader empty(QByteArray{});
  EXPECT_FALSE(empty.readHeader(className, objectName));
  EXPECT_EQ(empty.error(), QStringLiteral("Invalid stream format"));

  PropertyWriter writer(QStringLiteral("T"), QString());
  writer.writeInteger(QStringLiteral("A"), 1);
  QByteArray stream = writer.finish();
  const qsizetype tag = stream.indexOf('A') + 1;
  stream[tag] = char(99);  // an unknown value kind
  PropertyReader unknownKind(stream);
  ASSERT_TRUE(unknownKind.readHeader(className, objectName));
  EXPECT_FALSE(unknownKind.next(name, v));
  EXPECT_EQ(unknownKind.error(), QStringLiteral("Invalid property value"));

  // A binary value that claims more bytes than there are.
  PropertyWriter big(QStringLiteral("T"), QString());
  big.writeBinary(QStringLiteral("B"), QByteArray(4, 'x'));
  QByteArray lying = big.finish();
  lying[lying.indexOf('B') + 2] = char(0x7F);
  PropertyReader overlong(lying);
  ASSERT_TRUE(overlong.readHeader(className, objectName));
  EXPECT_FALSE(overlong.next(name, v));
  EXPECT_EQ(overlong.error(), QStringLiteral("Stream read error"));
  // Once failed, it stays failed.
  EXPECT_FALSE(overlong.next(name, v));
}

TEST(PropertyStream, LongNamesAreCutToTheirLimitRatherThanCorruptingTheStream) {
  PropertyWriter writer(QStringLiteral("T"), QString());
  writer.writeIdent(QString(300, QLatin1Char('n')), QString(300, QLatin1Char('v')));
  writer.writeInteger(QStringLiteral("After"), 7);
  PropertyReader reader(writer.finish());
  QString className, objectName, name;
  PropertyValue v;
  ASSERT_TRUE(reader.readHeader(className, objectName));
  ASSERT_TRUE(reader.next(name, v));
  EXPECT_EQ(name.size(), 255);
  EXPECT_EQ(v.text.size(), 255);
  ASSERT_TRUE(reader.next(name, v));
  EXPECT_EQ(name, QStringLiteral("After"));
  EXPECT_EQ(v.integer, 7);
}

}  // namespace
}  // namespace vardel
