$stdout.set_encoding("UTF-8")
puts ARGV
