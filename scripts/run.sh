#!/bin/sh
echo "There is no program yet: only the station core is built so far (see 'make test')."
