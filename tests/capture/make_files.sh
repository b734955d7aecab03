#!/usr/bin/env bash
# Makes the photos and videos the capture time tests read, and what exiftool
# reads in them, the outside oracle the tests compare with:
#   make_files.sh OUTDIR
# Photos are made by ImageMagick and given their times by exiftool; movies are
# built box by box (movie_bytes.py), some given Apple's creation date by
# exiftool; the layouts some makers leave (phones' segments before the EXIF,
# RAF, PNG's raw profile text) are written from exiftool's photos byte by
# byte (photo_layouts.py). OUTDIR/oracle.txt has one line per file,
# tab-separated: the name, then DateTimeOriginal, OffsetTimeOriginal,
# SubSecTimeOriginal, the Keys CreationDate, the user data's
# ContentCreateDate and the movie header's CreateDate (as UTC), "-" where
# missing.
set -euo pipefail
out=$1
here=$(cd "$(dirname "$0")" && pwd)
convert=/usr/bin/convert  # ImageMagick's, whatever else PATH holds
rm -rf "$out.tmp"
mkdir -p "$out.tmp"
cd "$out.tmp"

photo() {  # photo NAME [exiftool assignments...]
  local name=$1
  shift
  case $name in
    # ImageMagick writes no DNG: a TIFF made one by its DNGVersion tag.
    *.dng) "$convert" -size 32x24 gradient:red-blue "tiff:$name" ;;
    *) "$convert" -size 32x24 gradient:red-blue "$name" ;;
  esac
  if (($#)); then exiftool -q -q -overwrite_original "$@" "$name"; fi
}

exif_date=-DateTimeOriginal="2021:03:04 05:06:07"
photo jpeg-plain.jpg "$exif_date"
photo jpeg-subsec.jpg "$exif_date" -SubSecTimeOriginal=5
photo jpeg-offset.jpg "$exif_date" -OffsetTimeOriginal=+09:00
photo jpeg-offset-subsec.jpg -DateTimeOriginal="2020:02:29 23:30:00" \
  -OffsetTimeOriginal=-05:30 -SubSecTimeOriginal=0123456789
photo jpeg-no-exif.jpg
# exiftool keeps a JPEG's EXIF in its first APP1 segment, after JFIF's APP0.
photo jpeg-other-tags-only.jpg -Make=Chronoseq -ModifyDate="2022:01:01 00:00:00"

photo tiff-little-endian-offset-subsec.tif "$exif_date" -OffsetTimeOriginal=+01:00 -SubSecTimeOriginal=25
"$convert" -size 32x24 gradient:red-blue -endian MSB tiff-big-endian-plain.tif
exiftool -q -overwrite_original "$exif_date" tiff-big-endian-plain.tif
# A DNG is a TIFF that says which DNG version it follows.
photo raw-subsec.dng -DNGVersion="1.4.0.0" "$exif_date" -SubSecTimeOriginal=999

photo heic-plain.heic "$exif_date"
photo heic-offset-subsec.heic "$exif_date" -OffsetTimeOriginal=+14:00 -SubSecTimeOriginal=1
photo png-plain.png "$exif_date"
photo png-offset-subsec.png "$exif_date" -OffsetTimeOriginal=-12:00 -SubSecTimeOriginal=75
photo webp-offset.webp "$exif_date" -OffsetTimeOriginal=+05:45
photo webp-subsec.webp "$exif_date" -SubSecTimeOriginal=004

# Photos taken out of their names' order, and one without a time, for the
# sort by capture time that the stamping then follows (GUI tests).
mkdir stamp-order
photo stamp-order/p1.jpg -DateTimeOriginal="2021:05:03 08:00:00"
photo stamp-order/p2.jpg -DateTimeOriginal="2021:05:01 09:30:00"
photo stamp-order/p3.jpg
photo stamp-order/p4.jpg -DateTimeOriginal="2021:05:02 07:15:00"

python3 "$here/photo_layouts.py" .

python3 "$here/movie_bytes.py" .
exiftool -q -overwrite_original -Keys:CreationDate="2021:03:04 05:06:07.25+09:00" \
  mov-creationdate-subsec.mov
exiftool -q -overwrite_original -Keys:CreationDate="2021:12:31 20:00:00-07:00" \
  mp4-creationdate-negative-offset.mp4
# Android's date in the user data (©day).
exiftool -q -overwrite_original -UserData:ContentCreateDate="2022:06:07 08:09:10+05:30" \
  mp4-userdata-date.mp4

# The names are taken before the pipeline: its two sides start together, and
# the redirection may make oracle.txt before the glob is expanded, when
# exiftool would read it as one more file and fail.
files=(./*.*)
exiftool -q -q -T -f -api QuickTimeUTC -FileName -ExifIFD:DateTimeOriginal \
  -ExifIFD:OffsetTimeOriginal -ExifIFD:SubSecTimeOriginal -Keys:CreationDate \
  -UserData:ContentCreateDate -QuickTime:CreateDate "${files[@]}" | sort >oracle.txt
cd ..
rm -rf "$out"
mv "$out.tmp" "$out"
