# sh with-source-date-epoch.sh FILE COMMAND...: runs the linker command with
# SOURCE_DATE_EPOCH from FILE, which the PE linker takes as the time stamp.
SOURCE_DATE_EPOCH=$(cat "$1") || exit 1
export SOURCE_DATE_EPOCH
shift
exec "$@"
