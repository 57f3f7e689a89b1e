#pragma once
// Small DICOM files written with GDCM's own writer, so that the decoder's tests need no
// outside tool and no sample files: a grey picture of given values, with the elements a
// radiograph's file carries, in any transfer syntax GDCM can encode.

#include <gdcmAttribute.h>
#include <gdcmImageChangeTransferSyntax.h>
#include <gdcmImageWriter.h>
#include <gdcmReader.h>
#include <gdcmSequenceOfItems.h>
#include <gdcmTrace.h>
#include <gdcmWriter.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace ceph::testing {

struct DicomPicture {
    int width = 64;
    int height = 48;
    int bitsStored = 12;
    bool isSigned = false;
    bool monochrome1 = false;
    std::vector<std::uint16_t> values;  // row by row, as stored
    // Further elements of the data set: tag and text value (decimal strings and such).
    std::vector<std::pair<gdcm::Tag, std::string>> texts;
    gdcm::TransferSyntax::TSType syntax = gdcm::TransferSyntax::ExplicitVRLittleEndian;
    // A VOI LUT (in a sequence of one item) when not empty: its entries from the value
    // `lutFirst` on.
    std::vector<std::uint16_t> lut;
    std::int16_t lutFirst = 0;
};

// The stored values of a picture with texture in both directions, below 2^bits.
inline std::vector<std::uint16_t> DicomPattern(int width, int height, int bits) {
    std::vector<std::uint16_t> values(static_cast<std::size_t>(width) * height);
    const unsigned mask = (1u << bits) - 1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            values[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint16_t>((x * 61 + y * 997) & mask);
    return values;
}

// The file's bytes; empty when GDCM could not write them.
inline std::string WriteDicom(const DicomPicture& p) {
    gdcm::Trace::WarningOff();
    gdcm::ImageWriter writer;
    gdcm::Image& image = writer.GetImage();
    image.SetNumberOfDimensions(2);
    const unsigned dims[2] = {static_cast<unsigned>(p.width), static_cast<unsigned>(p.height)};
    image.SetDimensions(dims);
    gdcm::PixelFormat format(p.isSigned ? gdcm::PixelFormat::INT16 : gdcm::PixelFormat::UINT16);
    format.SetBitsStored(static_cast<unsigned short>(p.bitsStored));
    format.SetHighBit(static_cast<unsigned short>(p.bitsStored - 1));
    image.SetPixelFormat(format);
    image.SetPhotometricInterpretation(p.monochrome1
                                           ? gdcm::PhotometricInterpretation::MONOCHROME1
                                           : gdcm::PhotometricInterpretation::MONOCHROME2);
    image.SetTransferSyntax(gdcm::TransferSyntax::ExplicitVRLittleEndian);
    gdcm::DataElement pixels(gdcm::Tag(0x7FE0, 0x0010));
    pixels.SetByteValue(reinterpret_cast<const char*>(p.values.data()),
                        static_cast<std::uint32_t>(p.values.size() * 2));
    image.SetDataElement(pixels);

    gdcm::DataSet& head = writer.GetFile().GetDataSet();
    // A digital radiograph, for presentation.
    gdcm::Attribute<0x0008, 0x0016> sopClass{"1.2.840.10008.5.1.4.1.1.1.1"};
    head.Replace(sopClass.GetAsDataElement());
    gdcm::Attribute<0x0008, 0x0060> modality{"DX"};
    head.Replace(modality.GetAsDataElement());
    if (p.syntax != gdcm::TransferSyntax::ExplicitVRLittleEndian) {
        gdcm::ImageChangeTransferSyntax change;
        change.SetTransferSyntax(p.syntax);
        change.SetInput(image);
        if (!change.Change()) return {};
        writer.SetImage(change.GetOutput());
    }
    std::ostringstream out;
    writer.SetStream(out);
    if (!writer.Write()) return {};

    // GDCM's image writer gives every picture a spacing of 1 mm; the file gets only the
    // elements asked for, through the plain writer.
    std::istringstream in(out.str());
    gdcm::Reader reader;
    reader.SetStream(in);
    if (!reader.Read()) return {};
    gdcm::DataSet& set = reader.GetFile().GetDataSet();
    set.Remove(gdcm::Tag(0x0018, 0x1164));
    set.Remove(gdcm::Tag(0x0028, 0x0030));
    for (const auto& [tag, text] : p.texts) {
        gdcm::DataElement element(tag);
        std::string value = text;
        if (value.size() % 2) value += ' ';
        element.SetByteValue(value.data(), static_cast<std::uint32_t>(value.size()));
        element.SetVR(gdcm::VR::DS);
        set.Replace(element);
    }

    if (!p.lut.empty()) {
        gdcm::Item item;
        item.SetVLToUndefined();
        const std::uint16_t descriptor[3] = {static_cast<std::uint16_t>(p.lut.size()),
                                             static_cast<std::uint16_t>(p.lutFirst), 16};
        gdcm::DataElement d(gdcm::Tag(0x0028, 0x3002));
        d.SetVR(gdcm::VR::US);
        d.SetByteValue(reinterpret_cast<const char*>(descriptor), 6);
        item.GetNestedDataSet().Insert(d);
        gdcm::DataElement data(gdcm::Tag(0x0028, 0x3006));
        data.SetVR(gdcm::VR::OW);
        data.SetByteValue(reinterpret_cast<const char*>(p.lut.data()),
                          static_cast<std::uint32_t>(p.lut.size() * 2));
        item.GetNestedDataSet().Insert(data);
        gdcm::SmartPointer<gdcm::SequenceOfItems> sequence = new gdcm::SequenceOfItems;
        sequence->SetLengthToUndefined();
        sequence->AddItem(item);
        gdcm::DataElement element(gdcm::Tag(0x0028, 0x3010));
        element.SetVR(gdcm::VR::SQ);
        element.SetValue(*sequence);
        element.SetVLToUndefined();
        set.Insert(element);
    }
    std::ostringstream final;
    gdcm::Writer plain;
    plain.SetFile(reader.GetFile());
    plain.SetStream(final);
    return plain.Write() ? final.str() : std::string();
}

// The file with the first fragment of its compressed pixels (after the offset table) cut
// to `keep` of its length, to an even length, its item's length cut with it: damage the
// file's structure does not show. Empty when the file has no such fragment.
inline std::string CutFirstFragment(const std::string& file, double keep) {
    const std::size_t pixels = file.find(std::string("\xE0\x7F\x10\x00OB\0\0\xFF\xFF\xFF\xFF", 12));
    if (pixels == std::string::npos) return {};
    const auto u32 = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = v << 8 | static_cast<unsigned char>(file[at + i]);
        return v;
    };
    const std::size_t item = pixels + 12 + 8 + u32(pixels + 12 + 4);
    const std::uint32_t length = u32(item + 4);
    const auto cut = static_cast<std::uint32_t>(length * keep) & ~1u;
    std::string out = file.substr(0, item + 4);
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(cut >> (8 * i) & 0xFF);
    out.append(file, item + 8, cut);
    out.append(file, item + 8 + length, std::string::npos);
    return out;
}

}  // namespace ceph::testing
