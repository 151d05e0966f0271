#!/bin/sh
# Runs one test program. Started by a user other than root, it runs the program as
# root of a user namespace of its own, with a mount namespace of its own, where the
# kernel allows it: the tests that mount a small file system then run without root.
# Acting as another user still needs real root (the namespace maps no other user):
# those tests skip and say why. As root, or where no namespace can be had, the
# program runs as it is.
#   user_namespace.sh PROGRAM [ARGUMENTS...]
if [ "$(id -u)" -ne 0 ] && unshare --user --map-root-user --mount true 2>/dev/null; then
  exec unshare --user --map-root-user --mount "$@"
fi
exec "$@"
