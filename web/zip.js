// A zip archive of stored (uncompressed) files, as every unzip program and file manager opens it:
// a local header before each file's bytes, then the central directory and its end record.
// makeZip([{name, bytes}], date) gives the archive's bytes; names are stored as UTF-8.
const quorvaneZip = (function () {
  "use strict";

  const crcTable = new Uint32Array(256);
  for (let n = 0; n < 256; ++n) {
    let c = n;
    for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    crcTable[n] = c >>> 0;
  }

  function crc32(bytes) {
    let crc = 0xffffffff;
    for (let i = 0; i < bytes.length; ++i) crc = crcTable[(crc ^ bytes[i]) & 0xff] ^ (crc >>> 8);
    return (crc ^ 0xffffffff) >>> 0;
  }

  // MS-DOS time and date, in local time, as zip stores them (two-second steps, from 1980).
  function dosTime(date) {
    return (date.getHours() << 11) | (date.getMinutes() << 5) | (date.getSeconds() >> 1);
  }
  function dosDate(date) {
    return ((Math.max(date.getFullYear(), 1980) - 1980) << 9) | ((date.getMonth() + 1) << 5) | date.getDate();
  }

  function makeZip(files, date) {
    const encoder = new TextEncoder();
    const when = date || new Date();
    const entries = files.map((file) => {
      const bytes = typeof file.bytes === "string" ? encoder.encode(file.bytes) : file.bytes;
      return { name: encoder.encode(file.name), bytes, crc: crc32(bytes) };
    });
    let size = 22;
    for (const entry of entries) size += 30 + 46 + 2 * entry.name.length + entry.bytes.length;
    if (size > 0xffffffff || entries.length > 0xffff) throw new Error("too much for one zip file");
    const out = new Uint8Array(size);
    const view = new DataView(out.buffer);
    let at = 0;
    const u16 = (value) => { view.setUint16(at, value, true); at += 2; };
    const u32 = (value) => { view.setUint32(at, value, true); at += 4; };
    const put = (bytes) => { out.set(bytes, at); at += bytes.length; };
    // The fields a local header and a central one share: version, flags (UTF-8 names), method
    // (stored), time, date, CRC-32, sizes, name length.
    const common = (entry) => {
      u16(20); u16(0x0800); u16(0); u16(dosTime(when)); u16(dosDate(when));
      u32(entry.crc); u32(entry.bytes.length); u32(entry.bytes.length); u16(entry.name.length);
    };
    for (const entry of entries) {
      entry.offset = at;
      u32(0x04034b50); common(entry); u16(0);
      put(entry.name); put(entry.bytes);
    }
    const directory = at;
    for (const entry of entries) {
      // Made by a Unix zip 2.0, as a plain file readable by all (rw-r--r--): unzip programs then
      // take the name as the UTF-8 it is flagged to be, with no code page of MS-DOS.
      u32(0x02014b50); u16(0x0314); common(entry);
      u16(0); u16(0); u16(0); u16(0); u32(0o100644 * 0x10000); u32(entry.offset);
      put(entry.name);
    }
    const directorySize = at - directory;
    u32(0x06054b50); u16(0); u16(0); u16(entries.length); u16(entries.length);
    u32(directorySize); u32(directory); u16(0);
    return out;
  }

  return { makeZip, crc32 };
})();
if (typeof module === "object" && module.exports) module.exports = quorvaneZip;
