ARGV.clear
# With no file names Kernel#gets reads $stdin, which is at its end.
p gets
