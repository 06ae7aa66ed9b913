#include "MDataBase.h"

#include <QFile>
#include <QStringDecoder>

#include <cstring>

namespace {

int16_t I16(const char *p) { return int16_t(uint16_t(uint8_t(p[0])) | uint16_t(uint8_t(p[1])) << 8); }

int32_t I32(const char *p)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | uint8_t(p[i]);
    return int32_t(v);
}

float F32(const char *p)
{
    const uint32_t v = uint32_t(I32(p));
    float f;
    std::memcpy(&f, &v, sizeof f);
    return f;
}

QString Gbk(const char *p, int size)
{
    const char *end = static_cast<const char *>(std::memchr(p, 0, size_t(size)));
    QStringDecoder decode("GBK");
    return decode(QByteArrayView(p, end ? end - p : size));
}

} // namespace

void MDataBase::Prepare(const QString &programFolder)
{
    folder = programFolder;
    path = folder + QStringLiteral("dat/Quorin.dat");
}

bool MDataBase::OpenRead()
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return false;
    count = int(bytes.size() / kOldRecordSize); // a trailing partial record is ignored
    return true;
}

bool MDataBase::ReadRecord(int i, char (&buf)[kOldRecordSize]) const
{
    if (i < 0 || i >= count)
        return false;
    const char *rec = bytes.constData() + qsizetype(i) * kOldRecordSize;
    if (rec[4] != 0)
        return false;
    std::memcpy(buf, rec, kOldRecordSize);
    return true;
}

void MDataBase::Close()
{
    bytes.clear();
    count = 0;
}

TRecordData MDataBase::ToRecord(const char (&b)[kOldRecordSize])
{
    TRecordData r;
    r.name = Gbk(b + 5, 11);
    r.className = Gbk(b + 16, 14);
    r.date = {I16(b + 30), I16(b + 32), I16(b + 34), I16(b + 36), I16(b + 38)};
    r.lunar = uint8_t(b[40]);
    r.leap = uint8_t(b[41]);
    r.sex = uint8_t(b[42]);
    r.place1 = I16(b + 44);
    r.place2 = I16(b + 46);
    r.longitude = F32(b + 52);
    r.latitude = F32(b + 56);
    r.chartPanel = I32(b + 60);
    r.address = Gbk(b + 68, 51);
    r.remarkFile = Gbk(b + 119, 30);
    r.mountain = uint8_t(b[149]);
    r.door = uint8_t(b[150]);
    r.degree = F32(b + 152);
    r.buildYear = I16(b + 158);
    r.id = 0;
    r.xiaGua = 1;
    r.place.fill(-1);
    return r;
}
