puts "before\0after"
print "x\0", "y\n"
$stdout.write("\0hidden\n")
puts "z"
